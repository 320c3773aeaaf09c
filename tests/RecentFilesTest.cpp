// The File menu's recent files: order, the bound of four, menu texts, and what choosing an entry
// does, a file gone away included.
#include <gtest/gtest.h>

#include "commands/RecentFiles.h"
#include "tests/RecordingFrame.h"
#include "tests/ScriptedPrompts.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
using testfiles::TestData;

TEST(RecentFiles, NewestFirstAtMostFourNoRepeats) {
    RecentFiles recent;
    for (const char* path : {"/a.zmv", "/b.3ds", "/c.zmv", "/a.zmv", "/d.3ds", "/e.zmv"})
        recent.Add(path);
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"/e.zmv", "/d.3ds", "/a.zmv", "/c.zmv"}));
    EXPECT_TRUE(recent.Remove("/a.zmv"));
    EXPECT_FALSE(recent.Remove("/a.zmv"));
    recent.Add("relative.zmv");
    EXPECT_EQ(recent.Paths()[0], (std::filesystem::current_path() / "relative.zmv").string());

    recent.Assign({"/x", "", "/y", "/x", "/z", "/w", "/v"});
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"/x", "/y", "/z", "/w"}));
}

TEST(RecentFiles, MenuTexts) {
    const struct {
        size_t index;
        std::string path, expected;
    } cases[] = {
        {0, "/home/ann/jeep.3ds", "&1 ~/jeep.3ds"},
        {3, "/home/annex/R&D.zmv", "&4 /home/annex/R&&D.zmv"},
        {1, "/data/models/cars/2024/jeeps/convertibles/with/long/folder/names/jeep.3ds",
         "&2 /data/.../jeeps/convertibles/with/long/folder/names/jeep.3ds"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecentFileMenuText(c.index, c.path, "/home/ann"), c.expected);
}

TEST(RecentFiles, ChoosingOpensOrImportsAndAFileGoneLeavesTheList) {
    TempDir dir;
    Scene scene;
    ScriptedPrompts prompts;
    RecordingFrame frame;
    RecentFiles recent;
    const std::string jeep = TestData("assimp/jeep1.3ds");
    frame.Carry(Import3dsFileFromOutside(jeep, scene, prompts), scene, prompts);
    const std::string saved = dir.File("jeep.zmv");
    prompts.files.push_back(saved);
    frame.Carry(OnSceneSaveAs(scene, prompts), scene, prompts);
    EXPECT_EQ(frame.remembered, (std::vector<std::string>{jeep, saved}));
    recent.Add(saved);
    recent.Add(jeep);

    // The scene file, after the unsaved-changes question.
    scene.m_bModified = 1;
    prompts.answers.push_back(true);
    frame.Carry(OnRecentFile(1, recent, scene, prompts), scene, prompts);
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(frame.title, saved);
    EXPECT_EQ(frame.remembered.back(), saved);
    // The .3ds file is imported.
    frame.Carry(OnRecentFile(0, recent, scene, prompts), scene, prompts);
    EXPECT_EQ(scene.m_bModified, 1);
    EXPECT_EQ(frame.remembered.back(), jeep);

    std::filesystem::remove(saved);
    frame.Carry(OnRecentFile(1, recent, scene, prompts), scene, prompts);
    ASSERT_EQ(prompts.notices.size(), 1u);
    EXPECT_EQ(prompts.notices[0].first,
              "The file " + saved +
                  " no longer exists. It has been removed from the list of recent files.");
    EXPECT_EQ(recent.Paths(), std::vector<std::string>{jeep});
    EXPECT_EQ(prompts.questions.size(), 1u);  // nothing asked about a file that is not there
    EXPECT_FALSE(scene.m_objects.empty());
}
