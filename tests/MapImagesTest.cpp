// Texture images in the core: a map's file name found beside the scene file as Windows found it,
// but never outside that folder; the bounds an image's claimed size must keep; a JPEG's end; each
// image decoded once per scene; and --check naming the images that are missing.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CommandLine.h"
#include "images/ImageChecks.h"
#include "images/MapImageLookup.h"
#include "images/SceneImages.h"
#include "scene/ImageTable.h"
#include "tests/TestFiles.h"
#include "tools/Chunk3ds.h"

using testfiles::TempDir;
using testfiles::WriteBytes;

namespace {

namespace fs = std::filesystem;

// A scene's folder inside a temporary one that holds an image the scene must not reach.
struct SceneFolder {
    TempDir dir;
    fs::path folder = dir.Path() / "scene";
    std::string sceneFile = (folder / "model.3ds").string();

    SceneFolder() {
        fs::create_directories(folder / "Maps");
        for (const fs::path& file :
             {folder / "wood.jpg", folder / "Maps" / "Bark.PNG", folder / "UPPER.JPG",
              folder / "Longer name.jpeg", folder / "DUP.png", folder / "Dup.png",
              dir.Path() / "secret.png"})
            WriteBytes(file.string(), {1});
    }
};

class CountingDecoder final : public ImageDecoder {
public:
    DecodedImage Decode(const std::string& path, int maxSide) override {
        ++reads[fs::path(path).filename().string()];
        lastMaxSide = maxSide;
        DecodedImage decoded;
        decoded.image = TextureImage{1, 1, {1, 2, 3, 4}};
        return decoded;
    }
    DecodedImage DecodeBytes(const std::vector<uint8_t>& bytes, int maxSide) override {
        ++reads["bytes " + std::to_string(bytes.size())];
        lastMaxSide = maxSide;
        DecodedImage decoded;
        decoded.image = TextureImage{1, 1, {1, 2, 3, 4}};
        return decoded;
    }
    std::map<std::string, int> reads;
    int lastMaxSide = 0;
};

}  // namespace

TEST(MapImages, NamesAreFoundAsWrittenWithoutTheirFolderThenIgnoringCaseAndNeverOutside) {
    const SceneFolder scene;
    const struct {
        const char* name;
        const char* found;  // relative to the scene's folder; empty: nothing
    } cases[] = {
        {"wood.jpg", "wood.jpg"},
        {"C:\\maps\\wood.jpg", "wood.jpg"},
        {"C:wood.jpg", "wood.jpg"},
        {"/home/author/maps/wood.jpg", "wood.jpg"},
        {"Maps\\Bark.PNG", "Maps/Bark.PNG"},
        {"./Maps/Bark.PNG", "Maps/Bark.PNG"},
        {"MAPS\\bark.png", "Maps/Bark.PNG"},
        {"D:\\other\\bark.png", ""},  // the folder part is the author's: not looked into
        {"upper.jpg", "UPPER.JPG"},
        {"dup.png", "DUP.png"},
        {"LONGER N.JPE", "Longer name.jpeg"},  // a DOS name cut to 8.3
        {"LONGER N.PNG", ""},
        {"LONGER.JPG", ""},
        {"missing.png", ""},
        {"..\\secret.png", ""},
        {"Maps/../../secret.png", ""},
        {"../scene/wood.jpg", "wood.jpg"},
        {"Maps", ""},
        {"maps\\", ""},
        {"..", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> found = FindMapImage(scene.sceneFile, c.name);
        if (*c.found == '\0') {
            EXPECT_FALSE(found) << c.name << " found " << *found;
        } else {
            ASSERT_TRUE(found) << c.name;
            EXPECT_EQ(fs::path(*found), scene.folder / c.found) << c.name;
        }
    }
    // A scene read from no file looks nowhere, not in the working folder.
    const fs::path working = fs::current_path();
    fs::current_path(scene.folder);
    EXPECT_FALSE(FindMapImage("", "wood.jpg"));
    fs::current_path(working);
}

TEST(MapImages, ClaimedSizesAreBoundedAndLargeImagesScaledToFit) {
    const struct {
        int64_t width, height;
        uint64_t fileBytes;
        bool refused;
    } claims[] = {
        {64, 48, 200, false},
        {2048, 2048, 10, false},
        {8000, 8000, 100000, false},
        {8000, 8000, 1000, true},
        {100000, 100000, 1 << 20, true},
        {16384, 16384, 1u << 30, true},
        {16385, 1, 1u << 30, true},
        {0, 10, 1000, true},
    };
    for (const auto& c : claims)
        EXPECT_EQ(!ClaimedSizeRefusal(c.width, c.height, c.fileBytes).empty(), c.refused)
            << c.width << " x " << c.height << " in " << c.fileBytes;
    EXPECT_EQ(ClaimedSizeRefusal(8000, 8000, 1000),
              "it claims 8000 x 8000 pixels, more than a file of 1000 bytes can hold");

    const struct {
        int width, height, maxSide, fittedWidth, fittedHeight;
    } fits[] = {{512, 512, 1024, 512, 512},
                {1024, 256, 64, 64, 16},
                {4000, 3, 64, 64, 1},
                {3, 4000, 16, 1, 16},
                {100, 50, 0, 1, 1}};
    for (const auto& f : fits) {
        const PixelSize fitted = FittedImageSize(f.width, f.height, f.maxSide);
        EXPECT_EQ(fitted.width, f.fittedWidth) << f.width << " x " << f.height;
        EXPECT_EQ(fitted.height, f.fittedHeight) << f.width << " x " << f.height;
    }
}

TEST(MapImages, AJpegIsWholeOnlyWhenItReachesItsEndMarker) {
    // Start, an application segment holding an end marker of its own (a thumbnail's), a scan
    // header, entropy-coded bytes with a stuffed 0xFF and a restart marker, the end.
    const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x04, 0xFF, 0xD9,
                                       0xFF, 0xDA, 0x00, 0x03, 0x01, 0x12, 0xFF, 0x00,
                                       0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xD9};
    for (size_t cut = 0; cut < jpeg.size(); ++cut)
        EXPECT_TRUE(JpegCutShort(jpeg.data(), cut)) << cut;
    EXPECT_FALSE(JpegCutShort(jpeg.data(), jpeg.size()));
    std::vector<uint8_t> trailing = jpeg;
    trailing.insert(trailing.end(), {0, 0, 0});
    EXPECT_FALSE(JpegCutShort(trailing.data(), trailing.size()));
}

TEST(MapImages, EachImageOfASceneIsDecodedOnceWhateverNamesLeadToIt) {
    const SceneFolder scene;
    CountingDecoder decoder;
    SceneImages images(decoder, 256);
    images.Reset(scene.sceneFile);
    // An image the model held is decoded from its bytes, whatever lies beside the scene file.
    TextureMap held, plain;
    held.fileName = "gone.png";
    Scene table;
    held.embeddedImage = AddSceneImage(table, {1, 2, 3});
    AddSceneImage(table, {1, 2, 4});  // another of the same length
    const SceneImage* heldImage = &table.m_images[0];
    const SceneImage* other = &table.m_images[1];
    plain.fileName = "wood.jpg";
    for (int frame = 0; frame < 3; ++frame) {
        for (const char* name : {"wood.jpg", "WOOD.JPG", "C:\\maps\\wood.jpg", "Maps\\bark.png"})
            EXPECT_TRUE(images.ForMap(name).decoded.image) << name;
        const MapImage& missing = images.ForMap("gone.png");
        EXPECT_EQ(missing.path, "");
        EXPECT_EQ(missing.decoded.reason, "not found beside the scene file");
        EXPECT_TRUE(images.ForMap(held, heldImage).decoded.image);
        EXPECT_NE(&images.ForMap(held, other), &images.ForMap(held, heldImage));
        EXPECT_EQ(&images.ForMap(plain, nullptr), &images.ForMap("wood.jpg"));
    }
    EXPECT_EQ(decoder.reads,
              (std::map<std::string, int>{{"Bark.PNG", 1}, {"bytes 3", 2}, {"wood.jpg", 1}}));
    EXPECT_EQ(decoder.lastMaxSide, 256);
    images.Reset(scene.sceneFile);
    images.ForMap("wood.jpg");
    EXPECT_EQ(decoder.reads["wood.jpg"], 2);
}

TEST(MapImages, CheckNamesEachMissingImageOnceWithTheMaterialsNamingIt) {
    const SceneFolder scene;
    const auto material = [](const std::string& name, const std::string& map) {
        return Chunk3ds(chunk::kMaterial)
            .Add(Chunk3ds(chunk::kMaterialName).Name(name))
            .Add(Chunk3ds(chunk::kTextureMap1).Add(Chunk3ds(chunk::kMapFileName).Name(map)));
    };
    WriteBytes(scene.sceneFile,
               build3ds::File({material("A", "C:\\MAPS\\Wood.JPG"), material("B", "gone.png"),
                               material("C", "gone.png"), material("D", "..\\secret.png")},
                              false));
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--check", scene.sceneFile}, out, err), kExitOk);
    EXPECT_EQ(out.str(),
              "texture image \"gone.png\" of materials \"B\", \"C\" is missing: not found beside "
              "the file\n"
              "texture image \"..\\secret.png\" of material \"D\" is missing: not found beside the "
              "file\n"
              "model.3ds: read 0 objects, 0 triangles, 4 materials, 0 lights, 0 cameras; 0 chunks "
              "skipped, 0 other notes; 2 texture images missing\n");
}

// Images a model held are told apart by all their bytes: two of one length, alike at the start,
// the middle and the end, are two images, each decoded and drawn; equal bytes are one image in
// the scene's table, however many maps show them.
TEST(MapImages, ImagesAlikeButForOneByteInsideAreTwo) {
    std::vector<uint8_t> first(4000);
    for (size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> second = first;
    second[700] ^= 1;
    Scene scene;
    EXPECT_EQ(AddSceneImage(scene, first), 0);
    EXPECT_EQ(AddSceneImage(scene, second), 1);
    EXPECT_EQ(AddSceneImage(scene, first), 0);
    EXPECT_EQ(scene.m_images.size(), 2u);
    EXPECT_FALSE(scene.m_images[0].hash == scene.m_images[1].hash);

    CountingDecoder decoder;
    SceneImages images(decoder, 256);
    TextureMap map;
    map.fileName = "*0";
    const MapImage& a = images.ForMap(map, &scene.m_images[0]);
    const MapImage& b = images.ForMap(map, &scene.m_images[1]);
    EXPECT_NE(&a, &b);
    EXPECT_EQ(decoder.reads["bytes 4000"], 2);
}
