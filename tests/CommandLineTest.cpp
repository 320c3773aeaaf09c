// The headless command line: exact output and messages, exit statuses, and the JSON dump.
#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "childimport/ForeignImport.h"
#include "cli/CommandLine.h"
#include "cli/ManualPage.h"
#include "commands/CommandTexts.h"
#include "scene/SceneFile.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
using testfiles::TestData;
using testfiles::WriteBytes;

namespace {

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

RunResult Zemvora(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Absolute(const std::string& path) {
    return std::filesystem::absolute(path).string();
}

}  // namespace

TEST(CommandLine, InfoPrintsTheStatisticsLine) {
    const RunResult run = Zemvora({"--info", TestData("qt3d/basic-cube.3ds")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Object:1 Vertex:8 Mesh:12 Material:2 Light:0 Camera:0\n");
    EXPECT_EQ(run.err, "");
}

TEST(CommandLine, ImportFailuresNameTheFileWithoutItsFolder) {
    TempDir dir;
    WriteBytes(dir.File("tiny.3ds"), {0x4D, 0x4D, 7, 0, 0, 0});
    std::filesystem::create_directory(dir.File("folder.3ds"));
    // A main chunk whose second chunk is not the editor chunk.
    WriteBytes(dir.File("nomesh.3DS"),
               {0x4D, 0x4D, 22, 0, 0, 0, 2, 0, 10, 0, 0, 0, 3, 0, 0, 0, 0x00, 0xB0, 6, 0, 0, 0});
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {dir.File("tiny.3ds"), "tiny.3ds is not a valid 3ds file.\n"},
        {TestData("online3dviewer/wrong.3ds"),
         "wrong.3ds is not a valid 3ds "
         "file.\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB4\xE9\x94\x99\xE8\xAF\xAF"
         " or \xE6\x96\x87\xE4\xBB\xB6\xE9\x95\xBF\xE5\xBA\xA6\xE9\x94\x99\xE8\xAF\xAF\n"
         "The file's header or length is not that of a 3DS file.\n"},
        {dir.File("nomesh.3DS"), "No mesh data included in nomesh.3DS\n"},
        {dir.File("missing.3ds"), "missing.3ds was not found.\nNo such file or directory\n"},
        {dir.File("folder.3ds"), "folder.3ds contains an invalid path.\nIs a directory\n"},
    };
    for (const auto& c : cases) {
        const RunResult run = Zemvora({"--info", c.path});
        EXPECT_EQ(run.status, 1) << c.path;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.message);
    }
}

TEST(CommandLine, OpenFailuresNameTheAbsolutePath) {
    TempDir dir;
    const std::string bad = dir.File("bad.zmv");
    WriteBytes(bad, {0x04, 'Z', 'M', 'V', 'X', 1, 0, 1, 0});
    const std::string old = dir.File("old.zmv");
    WriteBytes(old, {0x04, 'Z', 'M', 'V', 'F', 1, 0, 2, 0});
    const std::string cut = dir.File("cut.zmv");
    WriteBytes(cut, {0x04, 'Z', 'M', 'V', 'F', 1, 0, 1, 0, 127});
    const std::string missing = dir.File("missing.zmv");

    EXPECT_EQ(Zemvora({"--dump", bad}).err, "The file " + bad + " is not a valid Zemvora file.\n");
    EXPECT_EQ(Zemvora({"--dump", old}).err,
              "The file " + old + " is not a version 1.0.1 Zemvora file.\n");
    EXPECT_EQ(Zemvora({"--dump", cut}).err,
              "An attempt was made to access an unnamed file past its end.\n");
    EXPECT_EQ(Zemvora({"--info", missing}).err,
              "Can not create .zmv file " + missing + "\nNo such file or directory\n");
    EXPECT_EQ(Zemvora({"--info", missing}).status, 1);
    EXPECT_EQ(Zemvora({"--dump", cut}).out, "");
}

TEST(CommandLine, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--info"},
                                               {"--dump", "a", "b"},
                                               {"--convert", "a"},
                                               {"--frobnicate"},
                                               {"a.3ds", "b.3ds"}}) {
        const RunResult run = Zemvora(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
    EXPECT_EQ(Zemvora({"--help"}).status, 0);
    EXPECT_EQ(Zemvora({"--version"}).out,
              "Zemvora Creator 1.01\n"
              "Copyright (c) 2026 Zemvora Creator developers, under the MIT licence\n");
}

TEST(CommandLine, CommandsTheBuildLacksAreNotAvailableAndTheOthersRunThroughIt) {
    for (const CommandOption& option : CommandOptions()) {
        if (!option.drawing || !*option.name) continue;
        const RunResult run = Zemvora({option.name, "x"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err,
                  "zemvora: " + std::string(option.name) + " is not available in this build\n");
    }
    std::vector<std::string> heard;
    const CommandRunner hear = [&](const std::vector<std::string>& args, std::ostream&,
                                   std::ostream&) {
        heard.insert(heard.end(), args.begin(), args.end());
        return 7;
    };
    const DrawingCommands drawing = {{Command::Window, hear}, {Command::Render, hear}};
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--render", "a.zmv", "--top"}, out, err, drawing), 7);
    EXPECT_EQ(RunCommandLine({"a.zmv"}, out, err, drawing), 7);
    EXPECT_EQ(RunCommandLine({}, out, err, drawing), 7);
    EXPECT_EQ(heard, (std::vector<std::string>{"a.zmv", "--top", "a.zmv"}));
}

TEST(CommandLine, ReadmeAndHelpPageShowTheUsageThatHelpPrints) {
    const std::string usage = UsageText();
    ASSERT_EQ(usage.rfind("Usage:\n", 0), 0u);
    std::string readmeBlock, helpBlock;
    std::istringstream lines(usage.substr(7));
    for (std::string line; std::getline(lines, line);) {
        readmeBlock += "  " + line + "\n";
        for (char c : line)
            helpBlock += c == '<'   ? "&lt;"
                         : c == '>' ? "&gt;"
                         : c == '&' ? "&amp;"
                                    : std::string(1, c);
        helpBlock += "\n";
    }
    const auto read = [](const std::string& file) {
        std::ifstream in(std::string(ZEMVORA_SOURCE_DIR) + "/" + file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_NE(read("README.md").find("\n\n" + readmeBlock + "\n"), std::string::npos)
        << "the README's command-line block is not what --help prints:\n"
        << readmeBlock;
    EXPECT_NE(read("help/index.htm").find("<pre class=\"usage\">\n" + helpBlock + "</pre>"),
              std::string::npos)
        << "the help page's usage block is not what --help prints:\n"
        << helpBlock;
}

TEST(CommandLine, TheWindowOpensWithAFileAndAFrameLog) {
    struct Case {
        std::vector<std::string> args;
        bool window;
        std::string file, log;
    };
    const Case cases[] = {
        {{}, true, "", ""},
        {{"a.3ds"}, true, "a.3ds", ""},
        {{"--frame-log", "f.tsv"}, true, "", "f.tsv"},
        {{"--frame-log", "f.tsv", "a.zmv"}, true, "a.zmv", "f.tsv"},
        {{"--frame-log"}, false, "", ""},
        {{"--frame-log", "f.tsv", "a.zmv", "b.zmv"}, false, "", ""},
        {{"--frame-log", "--info", "a.zmv"}, false, "", ""},
        {{"--frame-log", "f.tsv", "--help"}, false, "", ""},
        {{"--info", "a.3ds"}, false, "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<WindowRequest> request = WindowRequestOf(c.args);
        ASSERT_EQ(request.has_value(), c.window) << c.args.size();
        if (!request) continue;
        EXPECT_EQ(request->file, c.file);
        EXPECT_EQ(request->frameLog, c.log);
    }
    const CommandRunner opened = [](const std::vector<std::string>&, std::ostream&, std::ostream&) {
        return 0;
    };
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--frame-log"}, out, err, {{Command::FrameLog, opened}}), 2);
    EXPECT_NE(err.str().find("--frame-log takes a log file"), std::string::npos);
}

TEST(CommandLine, InstalledHelpPageLiesInTheDataFolderBesideTheProgramFolder) {
    EXPECT_EQ(InstalledHelpPagePath("/opt/z/bin"), "/opt/z/bin/../share/zemvora/help/index.htm");
}

TEST(CommandLine, DumpOfAnImportIsCompleteJson) {
    const RunResult run = Zemvora({"--dump", TestData("online3dviewer/cube.3ds")});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_FALSE(run.out.empty());
    ASSERT_EQ(run.out.back(), '\n');
    // at() throws on a missing key or element, which fails the test; [] on a const json would
    // read past the end.
    const nlohmann::json dump = nlohmann::json::parse(run.out);
    EXPECT_EQ(dump.at("modified"), 1);
    EXPECT_EQ(dump.at("filePath"), "");
    EXPECT_EQ(dump.at("settings").at("currentObject"), 0);
    EXPECT_EQ(dump.at("settings").at("currentCamera"), 0);
    EXPECT_EQ(dump.at("settings").at("textFont").at("lfFaceName"), "Arial Black");
    EXPECT_EQ(dump.at("statistics").at("vertices"), 21);
    EXPECT_EQ(dump.at("materialNames").size(), 4u);
    const nlohmann::json& object = dump.at("objects").at(0);
    EXPECT_EQ(object.at("vertices").size(), 21u);
    EXPECT_EQ(object.at("vertices").at(0).size(), 6u);
    EXPECT_EQ(object.at("meshes").at(0).size(), 7u);
    // The keys come in the documented order.
    std::vector<std::string> keys;
    for (auto it = dump.begin(); it != dump.end(); ++it)
        keys.push_back(it.key());
    EXPECT_EQ(keys.size(), 9u);
    EXPECT_NE(
        run.out.find(
            "{\n  \"modified\": 1,\n  \"filePath\": \"\",\n  \"settings\": {\"currentObject\""),
        std::string::npos);
}

TEST(CommandLine, DumpShowsMaterialsWithoutATransparencyChunkOpaque) {
    for (const char* file :
         {"qt3d/basic-cube.3ds", "qt3d/lunar-lander.3ds", "qt3d/roboticBody.3ds"}) {
        const RunResult run = Zemvora({"--dump", TestData(file)});
        ASSERT_EQ(run.status, 0) << run.err;
        const nlohmann::json dump = nlohmann::json::parse(run.out);
        ASSERT_FALSE(dump.at("materials").empty()) << file;
        for (const nlohmann::json& m : dump.at("materials"))
            EXPECT_EQ(m.at("transparency"), 1) << file;
    }
}

TEST(CommandLine, DumpWritesExactFloatsAndByteStrings) {
    TempDir dir;
    Scene scene;
    SceneMaterial m;
    m.name = std::string("Caf\xE9 \"q\"\\\n", 10);
    m.shininess = 0.1f;
    m.transparency = std::nanf("");
    scene.m_materials = {m};
    scene.m_materialNames = {m.name};
    SceneLight l;
    l.x = 1e30f, l.y = -std::numeric_limits<float>::infinity(), l.z = 16777217.0f;
    l.color[0] = 0.3f;
    scene.m_lights = {l};
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    const std::string path = dir.File("odd.zmv");
    WriteBytes(path, bytes);

    const RunResult run = Zemvora({"--dump", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"name\": \"Caf\\u00e9 \\\"q\\\"\\\\\\u000a\""), std::string::npos);
    EXPECT_NE(run.out.find("\"shininess\": 0.1,"), std::string::npos);
    EXPECT_NE(run.out.find("\"transparency\": \"nan\""), std::string::npos);
    EXPECT_NE(run.out.find("\"y\": \"-inf\""), std::string::npos);
    const nlohmann::json dump = nlohmann::json::parse(run.out);
    EXPECT_EQ(dump.at("filePath"), Absolute(path));
    EXPECT_EQ(dump.at("modified"), 0);
    EXPECT_EQ(static_cast<float>(dump.at("lights").at(0).at("x").get<double>()), 1e30f);
    EXPECT_EQ(static_cast<float>(dump.at("lights").at(0).at("z").get<double>()), 16777216.0f);
    EXPECT_EQ(static_cast<float>(dump.at("lights").at(0).at("color").at(0).get<double>()), 0.3f);
}

TEST(CommandLine, ConvertWritesASceneFileThatOpensToTheSameScene) {
    TempDir dir;
    const std::string out = dir.File("jeep.zmv");
    const RunResult convert = Zemvora({"--convert", TestData("assimp/jeep1.3ds"), out});
    ASSERT_EQ(convert.status, 0) << convert.err;
    const nlohmann::json imported =
        nlohmann::json::parse(Zemvora({"--dump", TestData("assimp/jeep1.3ds")}).out);
    nlohmann::json opened = nlohmann::json::parse(Zemvora({"--dump", out}).out);
    EXPECT_EQ(opened["modified"], 0);
    EXPECT_EQ(opened["filePath"], Absolute(out));
    opened["modified"] = 1;
    opened["filePath"] = "";
    // The image found beside the model goes into the scene file.
    nlohmann::json& map = opened["materials"][0]["textureMap"];
    EXPECT_EQ(map["embeddedBytes"], std::filesystem::file_size(TestData("assimp/jeep1.jpg")));
    map.erase("embeddedBytes");
    EXPECT_EQ(opened, imported);

    const RunResult refused =
        Zemvora({"--convert", TestData("assimp/jeep1.3ds"), dir.File("none/x.zmv")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Can not create .zmv file " + dir.File("none/x.zmv") +
                               "\nNo such file or directory\n");
}

// The manual page comes from the command line's table: every command's synopsis and help are in
// it, in roff's escapes.
TEST(CommandLine, TheManualPageListsEveryCommandOfTheTable) {
    const std::string page = ManualPage("1.01");
    EXPECT_EQ(page.rfind(".TH ZEMVORA 1 \"\" \"Zemvora Creator 1.01\" \"User Commands\"\n", 0), 0u);
    for (const CommandOption& option : CommandOptions()) {
        SCOPED_TRACE(option.synopsis);
        std::string synopsis = option.synopsis;
        std::replace(synopsis.begin(), synopsis.end(), '\n', ' ');
        if (!synopsis.empty()) {
            EXPECT_NE(page.find(".B zemvora\n" + RoffText(synopsis) + "\n"), std::string::npos);
        }
        const std::string help = option.help;
        if (!help.empty()) {
            EXPECT_NE(page.find(RoffText(help.substr(0, help.find('\n')))), std::string::npos);
        }
    }
    const struct {
        const char* text;
        const char* roff;
    } cases[] = {
        {"--no-grid", "\\-\\-no\\-grid"},
        {"C:\\maps", "C:\\emaps"},
        {".zmv files\n'quoted", "\\&.zmv files\n\\&'quoted"},
        {"a.b 'c'", "a.b 'c'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoffText(c.text), c.roff) << c.text;
}

// A command's load in two steps: a model in another format is read by its child from the start,
// the others when the load is finished; either way the scene is the one-step load's.
TEST(CommandLine, ALoadInTwoStepsReadsOtherFormatsInTheChildAndGivesTheSameScene) {
    TempDir dir;
    const std::string zmv = dir.File("jeep.zmv");
    ASSERT_EQ(Zemvora({"--convert", TestData("assimp/jeep1.3ds"), zmv}).status, 0);
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    const struct {
        std::string path;
        bool inChild;
        bool ok;
    } cases[] = {
        {TestData("assimp/jeep1.3ds"), false, true},
        {zmv, false, true},
        {std::string(ZEMVORA_TESTDATA_DIR) + "/models/obj/spider.obj", true, true},
        {std::string(ZEMVORA_TESTDATA_DIR) + "/models/stl/Spider_binary.stl", true, true},
        {dir.File("missing.stl"), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::ostringstream err, oneStepErr;
        SceneLoad load(c.path, err);
        EXPECT_EQ(load.ReadInChild(), c.inChild);
        Scene scene, oneStep;
        const FileOutcome outcome = load.Finish(scene);
        const FileOutcome oneStepOutcome = LoadSceneForCommandLine(c.path, oneStep, oneStepErr);
        EXPECT_EQ(outcome.ok, c.ok);
        EXPECT_EQ(outcome.message, oneStepOutcome.message);
        ASSERT_EQ(scene.m_objects.size(), oneStep.m_objects.size());
        for (size_t i = 0; i < scene.m_objects.size(); ++i) {
            EXPECT_EQ(scene.m_objects[i].name, oneStep.m_objects[i].name);
            EXPECT_EQ(scene.m_objects[i].vertexCount, oneStep.m_objects[i].vertexCount);
        }
        EXPECT_EQ(err.str(), oneStepErr.str());
    }
    ProcessForeignImportSettings() = ForeignImportSettings();
}
