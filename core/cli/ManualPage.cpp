#include "cli/ManualPage.h"

#include "cli/CommandOptions.h"

namespace {

// The words of a table entry on one line: the table breaks them where --help wraps.
std::string OneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (c == '\n') c = ' ';
    return line;
}

}  // namespace

std::string RoffText(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string ManualPage(const std::string& version) {
    std::string page = ".TH ZEMVORA 1 \"\" \"Zemvora Creator " + RoffText(version) +
                       "\" \"User Commands\"\n"
                       ".SH NAME\n"
                       "zemvora \\- look at and prepare small 3D scenes\n"
                       ".SH SYNOPSIS\n";
    for (const CommandOption& option : CommandOptions()) {
        if (!*option.synopsis) continue;
        page += ".B zemvora\n" + RoffText(OneLine(option.synopsis)) + "\n.br\n";
    }
    page += ".SH DESCRIPTION\n" +
            RoffText(
                "Zemvora Creator imports 3D Studio .3ds files and other models (OBJ, STL, "
                "PLY, glTF, COLLADA, FBX, 3MF, OFF and more), shows them in an OpenGL "
                "view, lets the user turn, zoom and look through the scene's cameras, edit "
                "its materials, lights, objects and notes, and save the scene in the "
                "program's own .zmv file or export it to other formats. Without an option "
                "it opens its window; the options below run without a window.") +
            "\n.PP\n" +
            RoffText(
                "Models in formats other than .3ds and .zmv are read and written by "
                "child processes that restrict themselves with Landlock and seccomp before "
                "they touch a model; the commands below restrict themselves the same way "
                "once their input is read.") +
            "\n.SH OPTIONS\n";
    for (const CommandOption& option : CommandOptions()) {
        if (!*option.synopsis || !*option.help) continue;
        page += ".TP\n.B " + RoffText(OneLine(option.synopsis)) + "\n" +
                RoffText(OneLine(option.help)) + ".\n";
    }
    page +=
        ".TP\n.B \\-\\-help\nprint the usage and exit.\n"
        ".TP\n.B \\-\\-version\nprint the version and the licence and exit.\n"
        ".SH EXIT STATUS\n"
        "0 when the command was done, 1 when a file could not be loaded or saved, 2 for a "
        "usage error.\n"
        ".SH FILES\n"
        ".I /usr/share/zemvora/help/index.htm\n"
        "the user's guide that Help opens.\n"
        ".SH LICENSE\n"
        "MIT.\n";
    return page;
}
