// The program's commands as the command line names them: one table that the parser, --help and
// the usage blocks of the README and the help page all come from.
#pragma once

#include <string>
#include <vector>

enum class Command {
    Window,
    FrameLog,
    Info,
    Dump,
    Convert,
    Render,
    Thumbnail,
    Check,
    Help,
    Version
};

struct CommandOption {
    Command command;
    const char* name;  // as typed, such as "--info"; "" for the window, which takes a file alone
    const char* synopsis;  // what follows "zemvora " in the usage, "\n" where it wraps; "" when
                           // the command shares the line of the one before it
    const char* help;      // one or more lines ("\n" between them), "" for none
    bool drawing;          // needs the window or OpenGL: builds without them lack it
};

// Every command in the order --help lists them.
const std::vector<CommandOption>& CommandOptions();

// The command typed as name ("-h" is --help), or null.
const CommandOption* FindCommandOption(const std::string& name);

// The usage that --help prints and a usage error ends with, "Usage:" and then one entry per
// command: the synopsis after "  zemvora ", its help from column 33.
std::string UsageText();
