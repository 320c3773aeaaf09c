// The panel's texts, its layout arithmetic and the slider mapping.
#include <gtest/gtest.h>

#include <cstring>

#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "panel/PanelSelection.h"
#include "panel/PanelTexts.h"
#include "panel/SliderMapping.h"
#include "tests/TestFiles.h"

using namespace panel;

namespace {

ControlRect Find(const std::vector<ControlRect>& rects, int id) {
    for (const ControlRect& r : rects)
        if (r.id == id) return r;
    ADD_FAILURE() << "no control " << id;
    return {};
}

bool Same(const ControlRect& r, int x, int y, int w, int h) {
    return r.x == x && r.y == y && r.width == w && r.height == h;
}

}  // namespace

TEST(PanelTexts, TreeLinesAndInformation) {
    SceneObject o;
    o.name = "Box";
    o.meshCount = 3;
    o.vertexCount = 12345;
    EXPECT_EQ(ObjectTreeLines(o),
              (std::vector<std::string>{"Material:Default", "Mesh:    3", "Vertex:12345"}));

    SceneMaterial m;
    m.name = "Wood";
    m.ambient = {1, 22, 255};
    m.shininess = 128 * OneOver255();
    m.transparency = 1;
    const std::vector<std::string> lines = MaterialTreeLines(m);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Ambient R:  1  G: 22  B:255");
    EXPECT_EQ(lines[1], "Diffuse R:  0  G:  0  B:  0");
    EXPECT_EQ(lines[2], "Specular R:  0  G:  0  B:  0");
    EXPECT_EQ(lines[3], "Shininess:0.50 Transparency:1.00");

    SceneLight l;
    l.name = "Sun";
    l.color[0] = 0.5f, l.color[1] = 0.25f, l.color[2] = 1.0f;
    EXPECT_EQ(LightTreeLines(l), (std::vector<std::string>{"Diffuse R:0.500  G:0.250  B:1.000",
                                                           "Diffuse R:127  G: 63  B:255", "Off"}));
    l.on = 2;
    const std::vector<std::string> lightLines = LightTreeLines(l);
    ASSERT_GE(lightLines.size(), 3u);
    EXPECT_EQ(lightLines[2], "On");
    EXPECT_EQ(LightInfoText(l), "Sun Diffuse R:127  G: 63  B:255");
    EXPECT_EQ(CurrentObjectText(o), "Current object:Box");
    EXPECT_EQ(CurrentMaterialText(m), "Current material:Wood");
}

// A map's line names the file as the map writes it; the image is looked for beside the scene file.
TEST(PanelTexts, TheTextureMapLineSaysWhenItsImageIsMissing) {
    const std::string sceneFile = testfiles::TestData("assimp/test1.3ds");
    const struct {
        const char* map;  // none for a material without a map
        std::string line;
        bool embedded = false;  // the model held the image itself
    } cases[] = {
        {nullptr, ""},
        {"IMAGE1.JPG", "Map:IMAGE1.JPG"},
        {"C:\\maps\\cwall02.jpg", "Map:C:\\maps\\cwall02.jpg"},
        {"gone.png", "Map:gone.png (not found)"},
        {"*0", "Map:*0", true},
    };
    for (const auto& c : cases) {
        SceneMaterial m;
        if (c.map) {
            m.textureMap.emplace();
            m.textureMap->fileName = c.map;
            if (c.embedded) m.textureMap->embeddedImage = 0;
        }
        EXPECT_EQ(TextureMapLine(m, sceneFile), c.line);
    }
}

TEST(PanelSelection, TheFirstEqualNameWins) {
    std::vector<SceneObject> objects(3);
    objects[0].name = "A", objects[1].name = "B", objects[2].name = "B";
    EXPECT_EQ(FindByName(objects, "B"), 1);
    EXPECT_EQ(FindByName(objects, "b"), -1);
}

TEST(PanelLayout, EveryTabFromTheClientSize) {
    const DialogUnits units;
    const int W = 220, H = 351;
    const std::vector<ControlRect> object = LayoutTab(kObjectTab, W, H, units);
    EXPECT_TRUE(Same(Find(object, kTab), 2, 4, 217, 342));
    EXPECT_TRUE(Same(Find(object, kObjectTree), 5, 30, 209, 118));
    EXPECT_TRUE(Same(Find(object, kObjectText), 5, 149, 209, 20));
    EXPECT_TRUE(Same(Find(object, kSmoothFlat), 5, 170, 209, 11));
    EXPECT_TRUE(Same(Find(object, kApplyMaterial), 5, 183, 209, 18));
    EXPECT_TRUE(Same(Find(object, kMaterialText), 5, 202, 209, 20));
    EXPECT_TRUE(Same(Find(object, kMaterialTree), 5, 223, 209, 117));
    EXPECT_EQ(object.size(), 7u);

    const std::vector<ControlRect> material = LayoutTab(kMaterialTab, W, H, units);
    EXPECT_TRUE(Same(Find(material, kMaterialTree), 5, 30, 209, 150));
    EXPECT_TRUE(Same(Find(material, kSpecularRed), 5, 224, 16, 104));
    EXPECT_TRUE(Same(Find(material, kTransparency), 195, 224, 16, 104));
    EXPECT_TRUE(Same(Find(material, kSwatchBlue3), 149, 329, 11, 11));
    // The labels keep their template places whatever the size.
    EXPECT_TRUE(Same(Find(material, kSpecularLabel), 8, 217, 42, 13));
    EXPECT_TRUE(Same(Find(LayoutTab(kMaterialTab, 400, 500, units), kShTrLabel), 208, 217, 35, 13));
    EXPECT_EQ(material.size(), 1u + 2 + 11 + 9 + 4);

    const std::vector<ControlRect> light = LayoutTab(kLightTab, W, H, units);
    EXPECT_TRUE(Same(Find(light, kLightTree), 5, 30, 209, 150));
    EXPECT_TRUE(Same(Find(light, kLightOnOff), 5, 204, 209, 20));
    EXPECT_TRUE(Same(Find(light, kCameraLabel), 93, 204, 121, 20));
    EXPECT_TRUE(Same(Find(light, kLightBlue), 60, 224, 22, 104));
    EXPECT_TRUE(Same(Find(light, kCameraList), 93, 224, 121, 64));
    EXPECT_TRUE(Same(Find(light, kSetBackground), 93, 245, 121, 20));

    const std::vector<ControlRect> notes = LayoutTab(kNotesTab, W, H, units);
    EXPECT_TRUE(Same(Find(notes, kNoteBox), 5, 178, 209, 153));
    EXPECT_TRUE(Same(Find(notes, kSetColor), 5, 333, 66, 17));
    EXPECT_TRUE(Same(Find(notes, kApplyNote), 72, 333, 66, 17));
    EXPECT_TRUE(Same(Find(notes, kSetFont), 138, 333, 66, 17));

    EXPECT_EQ(LayoutTab(4, W, H, units).size(), 1u);  // only the tab control
    int width = 0, height = 0;
    PanelClientSize(units, width, height);
    EXPECT_EQ(width, 257);
    EXPECT_EQ(height, 380);
}

TEST(SliderMapping, EveryPositionComesBackAsItself) {
    uint32_t bits;
    const float k = OneOver255();
    std::memcpy(&bits, &k, 4);
    EXPECT_EQ(bits, 0x3B808081u);
    SceneMaterial m;
    SceneLight l;
    for (int p = 0; p <= 255; ++p) {
        SetMaterialFromSlider(m, kShininess, p);
        EXPECT_EQ(MaterialSliderPosition(m, kShininess), p);
        SetLightFromSlider(l, kLightGreen, p);
        EXPECT_EQ(LightSliderPosition(l, kLightGreen), p);
        EXPECT_EQ(l.color24.green, p);
    }
    SetMaterialFromSlider(m, kDiffuseBlue, 77);
    EXPECT_EQ(m.diffuse.blue, 77);
    EXPECT_EQ(MaterialSliderPosition(m, kDiffuseBlue), 77);
    SetMaterialFromSlider(m, kTransparency, 128);
    EXPECT_EQ(m.transparency, 128 * k);
    // Truncated toward zero, not rounded.
    m.shininess = 0.999f;
    EXPECT_EQ(MaterialSliderPosition(m, kShininess), 254);
}

// The first window on a small screen: its frame, title bar included, fits the available area
// (a 1366 x 768 screen used to get a 793-pixel frame), never below the least size.
TEST(PanelPlacement, TheFirstWindowFitsTheScreensAvailableArea) {
    const struct {
        int decorationWidth, decorationHeight;
        panel::ScreenRect available;
        int width, height;
    } cases[] = {
        {0, 0, {0, 0, 1280, 1024}, 1024, 768},   // room enough: the default
        {2, 25, {0, 0, 1366, 768}, 1024, 743},   // the title bar's height comes off
        {2, 25, {0, 30, 1366, 738}, 1024, 713},  // a desktop panel takes the top
        {10, 40, {0, 0, 800, 600}, 790, 560},
        {10, 40, {0, 0, 400, 300}, 500, 400},  // never below the least size
    };
    for (const auto& c : cases) {
        int width = 0, height = 0;
        panel::FirstClientSize(1024, 768, c.decorationWidth, c.decorationHeight, c.available, 500,
                               400, width, height);
        EXPECT_EQ(width, c.width) << c.available.width << "x" << c.available.height;
        EXPECT_EQ(height, c.height) << c.available.width << "x" << c.available.height;
    }
}
