// The File menu's recent files: order, the bound of four and the menu texts. What choosing an
// entry does is shown in the window (GuiRecentFilesTest).
#include <gtest/gtest.h>

#include <filesystem>

#include "commands/RecentFiles.h"

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
