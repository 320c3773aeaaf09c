// The source tree's own order: core's folders stand in a line, each including only the folders
// below it, so that no change can tie two of them into a circle; and the README's layout table
// names every source file on its folder's row, so that a newcomer finds each by its job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = ZEMVORA_SOURCE_DIR;

// The core folders from the ground up.
const std::vector<std::string> kCoreLine = {"sandbox",   "scene",       "images",  "import3ds",
                                            "export3ds", "childimport", "formats", "panel",
                                            "commands",  "view",        "history", "cli"};

std::vector<std::string> IncludedFolders(const fs::path& file) {
    static const std::regex kInclude(R"re(^\s*#\s*include\s+"([a-z0-9]+)/)re");
    std::vector<std::string> folders;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, kInclude)) folders.push_back(m[1]);
    }
    return folders;
}

}  // namespace

TEST(SourceLayout, CoreFoldersIncludeOnlyTheFoldersBelowThem) {
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSource / "core")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h" && ext != ".in")) continue;
        const std::string folder = entry.path().parent_path().filename().string();
        const auto own = std::find(kCoreLine.begin(), kCoreLine.end(), folder);
        ASSERT_NE(own, kCoreLine.end())
            << "a core folder that has no place in the line: " << folder;
        ++files;
        for (const std::string& included : IncludedFolders(entry.path())) {
            const auto at = std::find(kCoreLine.begin(), kCoreLine.end(), included);
            EXPECT_TRUE(at != kCoreLine.end() && at <= own)
                << entry.path().lexically_relative(kSource) << " includes " << included;
        }
    }
    EXPECT_GT(files, 50u);
}

TEST(SourceLayout, TheReadmeLayoutTableNamesEverySourceFileOnItsFoldersRow) {
    std::ifstream readme(kSource / "README.md");
    std::vector<std::string> rows;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("| `", 0) == 0) rows.push_back(line);
    }
    size_t files = 0;
    for (const char* top : {"core", "foreign", "render", "gui", "app", "tools", "fuzz", "bench"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kSource / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h" && ext != ".in"))
                continue;
            ++files;
            const std::string folder =
                entry.path().parent_path().lexically_relative(kSource).generic_string() + "/";
            std::string stem = entry.path().filename().string();
            stem = stem.substr(0, stem.find('.'));
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const std::string& r) {
                return r.rfind("| `" + folder + "` |", 0) == 0;
            });
            ASSERT_NE(row, rows.end()) << "the layout table has no row for " << folder;
            EXPECT_NE(row->find("`" + stem + "`"), std::string::npos)
                << folder << stem << " is not named on its row of the README's layout table";
        }
    }
    EXPECT_GT(files, 100u);
}
