// The scene file: exact bytes, every string form, round trips, the reader's results and how it
// handles cut, damaged and hostile files; and the input stream that files are read through.
#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "commands/DocumentCommands.h"
#include "import3ds/ImportFile.h"
#include "import3ds/Read3DS.h"
#include "scene/ByteOrder.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"
#include "tests/TestFiles.h"

namespace {

std::vector<uint8_t> Written(const Scene& scene) {
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    EXPECT_TRUE(out.Ok());
    return bytes;
}

// What a view showing the scene read is told to do after the read.
struct RecordingView {
    int fontApplied = 0;
    int defaultView = 1;
};

// Reads from an exactly sized heap copy into a cleared scene; with a view, the view then takes
// what opening a file gives it.
ReadSceneResult ReadBytes(const std::vector<uint8_t>& bytes, Scene& scene,
                          RecordingView* view = nullptr) {
    const std::vector<uint8_t> copy(bytes);
    InputStream in(copy.data(), copy.size());
    scene.ClearScene();
    const ReadSceneResult result = ReadScene(in, scene);
    if (view) {
        for (FrameStep step : ViewStepsForReadScene(scene)) {
            if (step == FrameStep::ApplyTextFont) ++view->fontApplied;
            if (step == FrameStep::LookThroughCamera) view->defaultView = 0;
        }
    }
    return result;
}

void PatchI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
    ASSERT_LE(offset + 4, bytes.size());
    StoreU32(bytes.data() + offset, static_cast<uint32_t>(value));
}

// Offsets in a file whose font face is "Arial Black".
constexpr size_t kCurrentObjectOffset = 91;
constexpr size_t kCurrentCameraOffset = 95;
constexpr size_t kMaterialCountOffset = 99;
constexpr size_t kObjectCountOffset = 115;  // with no materials, names, lights or cameras

SceneObject Triangle(const std::string& name) {
    SceneObject o;
    o.name = name;
    o.note = "line one\r\nline two";
    o.noteColor = RGB8{1, 2, 3};
    o.noteX = -4, o.noteY = 5;
    o.smooth = 0;
    o.vertices = {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0.5f, 1}, {1, 1, 0, 0, 0, -1}};
    o.meshes = {{0, 1, 2, 0xBEEF, 0.25f, 0.5f, 1.0f}};
    o.vertexCount = 3, o.meshCount = 1;
    o.maxX = 1, o.maxY = 1, o.centerX = 0.5f, o.centerY = 0.5f, o.minZ = -0.0f;
    return o;
}

Scene RichScene() {
    Scene s;
    SceneMaterial wood;
    wood.name = "Wood";
    wood.ambient = {1, 2, 3}, wood.diffuse = {4, 5, 6}, wood.specular = {7, 8, 9};
    wood.shininess = 0.3f, wood.transparency = 0.75f;
    s.m_materials = {wood, SceneMaterial()};
    s.m_materialNames = {"Wood", ""};
    SceneLight light;
    light.name = "Sun", light.x = 1, light.y = 2, light.z = 3, light.on = 0;
    light.color[0] = 0.5f, light.color[1] = 0.25f, light.color[2] = 1;
    light.color24 = {128, 64, 255};
    s.m_lights = {light};
    SceneCamera camera;
    camera.name = "Cam", camera.posX = 1, camera.posY = 2, camera.posZ = 3;
    camera.targetX = 4, camera.targetY = 5, camera.targetZ = 6, camera.lens = 35, camera.roll = 7;
    s.m_cameras = {camera, SceneCamera()};
    s.m_objects = {Triangle("A"), Triangle("B")};
    s.m_objects[1].materialIndex = 0;
    s.m_objects[1].materialName = "Wood";
    SceneSettings& st = s.m_settings;
    st.currentObject = 1, st.currentCamera = 1;
    st.background = {10, 20, 30};
    st.reservedBytes[0] = 1, st.reservedBytes[2] = 3;
    st.reservedWords[0] = -1, st.reservedWords[1] = 123456;
    st.maxX = 1, st.minX = -2, st.maxY = 3, st.minY = -4, st.maxZ = 5, st.minZ = -6;
    st.textFont.lfFaceName = "DejaVu Serif";
    st.textFont.lfItalic = 1, st.textFont.lfWidth = 7, st.textFont.lfCharSet = 134;
    st.rotZ = 45, st.dragX = 10;
    return s;
}

void ExpectSameObject(const SceneObject& a, const SceneObject& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.materialName, b.materialName);
    EXPECT_EQ(a.materialIndex, b.materialIndex);
    EXPECT_EQ(a.smooth, b.smooth);
    EXPECT_EQ(a.note, b.note);
    EXPECT_EQ(a.noteColor, b.noteColor);
    EXPECT_EQ(a.noteX, b.noteX);
    EXPECT_EQ(a.noteY, b.noteY);
    EXPECT_EQ(a.vertexCount, b.vertexCount);
    EXPECT_EQ(a.meshCount, b.meshCount);
    const float fa[] = {a.maxX, a.maxY,    a.maxZ,    a.minX,   a.minY,
                        a.minZ, a.centerX, a.centerY, a.centerZ};
    const float fb[] = {b.maxX, b.maxY,    b.maxZ,    b.minX,   b.minY,
                        b.minZ, b.centerX, b.centerY, b.centerZ};
    EXPECT_EQ(0, std::memcmp(fa, fb, sizeof fa));
    ASSERT_EQ(a.vertices.size(), b.vertices.size());
    EXPECT_EQ(0, std::memcmp(a.vertices.data(), b.vertices.data(),
                             a.vertices.size() * sizeof(SceneVertex)));
    ASSERT_EQ(a.meshes.size(), b.meshes.size());
    for (size_t i = 0; i < a.meshes.size(); ++i) {
        const SceneMesh &ma = a.meshes[i], &mb = b.meshes[i];
        EXPECT_TRUE(ma.a == mb.a && ma.b == mb.b && ma.c == mb.c && ma.flags == mb.flags &&
                    ma.nx == mb.nx && ma.ny == mb.ny && ma.nz == mb.nz);
    }
}

}  // namespace

TEST(SceneFileWriter, EmptySceneIsTheKnown119Bytes) {
    Scene scene;
    scene.ClearScene();
    const std::vector<uint8_t> expected = {
        0x04, 'Z',  'M',  'V',  'F',  0x01, 0x00, 0x01, 0x00, 0x7F, 0x7F, 0x7F, 0x00, 0x00, 0x00,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0x00, 0x00, 0xC8,
        0x42, 0x00, 0x00, 0xC8, 0xC2, 0x00, 0x00, 0xC8, 0x42, 0x00, 0x00, 0xC8, 0xC2, 0x00, 0x00,
        0xC8, 0x42, 0x00, 0x00, 0xC8, 0xC2, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0B, 'A',  'r',
        'i',  'a',  'l',  ' ',  'B',  'l',  'a',  'c',  'k',  0xF0, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0xBC, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0,    0,    0,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0};
    ASSERT_EQ(expected.size(), 119u);
    EXPECT_EQ(Written(scene), expected);
}

TEST(SceneFileStrings, EveryLengthFormWritesAndReadsBack) {
    struct Case {
        size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {{0, {0x00}},
                          {254, {0xFE}},
                          {255, {0xFF, 0xFF, 0x00}},
                          {300, {0xFF, 0x2C, 0x01}},
                          {65533, {0xFF, 0xFD, 0xFF}},
                          {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                          {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}};
    for (const Case& c : cases) {
        Scene scene;
        SceneMaterial m;
        m.name = std::string(c.length, 'x');
        scene.m_materials = {m};
        scene.m_materialNames = {m.name};
        const std::vector<uint8_t> bytes = Written(scene);
        ASSERT_GE(bytes.size(), kMaterialCountOffset + 4 + c.prefix.size()) << c.length;
        ASSERT_TRUE(
            std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin() + kMaterialCountOffset + 4))
            << c.length;
        Scene back;
        ASSERT_EQ(ReadBytes(bytes, back), ReadSceneResult::Read) << c.length;
        EXPECT_EQ(back.m_materials.at(0).name, m.name);
    }
}

TEST(SceneFileStrings, Utf16StringsAreReadAsUtf8) {
    Scene scene;
    scene.m_materials.resize(1);
    scene.m_materialNames = {""};
    std::vector<uint8_t> bytes = Written(scene);
    // Replace the empty name by 255, 65534, length 4, then "Aé€😀" in UTF-16LE.
    const std::vector<uint8_t> wide = {0xFF, 0xFE, 0xFF, 0x05, 'A',  0,    0xE9,
                                       0,    0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE};
    const size_t at = kMaterialCountOffset + 4;
    ASSERT_GT(bytes.size(), at);
    bytes.erase(bytes.begin() + at);
    bytes.insert(bytes.begin() + at, wide.begin(), wide.end());
    Scene back;
    ASSERT_EQ(ReadBytes(bytes, back), ReadSceneResult::Read);
    EXPECT_EQ(back.m_materials.at(0).name, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(SceneFileStrings, FaceNamesAreCutTo31Characters) {
    Scene scene;
    scene.m_settings.textFont.lfFaceName = std::string(40, 'F');
    Scene back;
    ASSERT_EQ(ReadBytes(Written(scene), back), ReadSceneResult::Read);
    EXPECT_EQ(back.m_settings.textFont.lfFaceName, std::string(31, 'F'));
}

TEST(SceneFileRoundTrip, SaveThenOpenGivesTheSameRecords) {
    const Scene scene = RichScene();
    Scene back;
    back.m_settings.textFont = LogFont();
    RecordingView view;
    ASSERT_EQ(ReadBytes(Written(scene), back, &view), ReadSceneResult::Read);

    EXPECT_EQ(view.fontApplied, 1);
    EXPECT_EQ(view.defaultView, 0);
    const SceneSettings &a = scene.m_settings, &b = back.m_settings;
    EXPECT_EQ(b.currentObject, 1);
    EXPECT_EQ(b.currentCamera, 0);  // a file with cameras opens at its first camera
    EXPECT_EQ(b.background, a.background);
    EXPECT_EQ(0, std::memcmp(a.reservedBytes, b.reservedBytes, 3));
    EXPECT_EQ(0, std::memcmp(a.reservedWords, b.reservedWords, sizeof a.reservedWords));
    EXPECT_TRUE(a.maxX == b.maxX && a.minX == b.minX && a.maxY == b.maxY && a.minY == b.minY &&
                a.maxZ == b.maxZ && a.minZ == b.minZ);
    EXPECT_EQ(b.textFont, a.textFont);
    EXPECT_EQ(b.rotZ, 0.0f);  // rotation and drags are not stored
    EXPECT_EQ(b.dragX, 0.0f);
    EXPECT_FALSE(back.m_bModified);

    ASSERT_EQ(back.m_materials.size(), 2u);
    const SceneMaterial& m = back.m_materials[0];
    EXPECT_EQ(m.name, "Wood");
    EXPECT_EQ(m.ambient, (RGB8{1, 2, 3}));
    EXPECT_EQ(m.diffuse, (RGB8{4, 5, 6}));
    EXPECT_EQ(m.specular, (RGB8{7, 8, 9}));
    EXPECT_EQ(m.shininess, 0.3f);
    EXPECT_EQ(m.transparency, 0.75f);
    EXPECT_EQ(back.m_materialNames, scene.m_materialNames);
    ASSERT_EQ(back.m_lights.size(), 1u);
    const SceneLight& l = back.m_lights[0];
    EXPECT_EQ(l.name, "Sun");
    EXPECT_EQ(l.on, 0);
    EXPECT_TRUE(l.x == 1 && l.y == 2 && l.z == 3);
    EXPECT_TRUE(l.color[0] == 0.5f && l.color[1] == 0.25f && l.color[2] == 1);
    EXPECT_EQ(l.color24, (RGB8{128, 64, 255}));
    ASSERT_EQ(back.m_cameras.size(), 2u);
    const SceneCamera& c = back.m_cameras[0];
    EXPECT_TRUE(c.posX == 1 && c.posY == 2 && c.posZ == 3 && c.targetX == 4 && c.targetY == 5 &&
                c.targetZ == 6 && c.lens == 35 && c.roll == 7);
    ASSERT_EQ(back.m_objects.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        ExpectSameObject(back.m_objects[i], scene.m_objects[i]);

    // Written again, the file is byte for byte the same but for the current camera.
    Scene again = scene;
    again.m_settings.currentCamera = 0;
    EXPECT_EQ(Written(back), Written(again));
}

TEST(SceneFileReader, MagicAndVersion) {
    const std::vector<uint8_t> good = Written(Scene());
    ASSERT_GE(good.size(), 8u);
    Scene scene;
    std::vector<uint8_t> lower = good;
    for (int i = 1; i <= 4; ++i)
        lower[i] = static_cast<uint8_t>(std::tolower(lower[i]));
    EXPECT_EQ(ReadBytes(lower, scene), ReadSceneResult::BadMagic);
    std::vector<uint8_t> longer = good;
    longer.insert(longer.begin() + 5, 'X');
    longer[0] = 5;
    EXPECT_EQ(ReadBytes(longer, scene), ReadSceneResult::BadMagic);

    for (auto [major, minor] : {std::pair{1, 2}, {2, 1}, {0, 0}}) {
        std::vector<uint8_t> bytes = good;
        bytes[5] = static_cast<uint8_t>(major);
        bytes[7] = static_cast<uint8_t>(minor);
        EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::WrongVersion) << major << minor;
        bytes[1] = 'z';  // wrong magic and wrong version: the magic decides
        EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::BadMagic);
    }
    // Too short for the magic and the two version words: the end of the file comes first.
    EXPECT_EQ(ReadBytes({0x04, 'z', 'm', 'v', 'f', 1, 0, 1}, scene), ReadSceneResult::EndOfFile);
}

TEST(SceneFileReader, CurrentIndicesAreCheckedAndCamerasWin) {
    Scene noCameras = RichScene();
    noCameras.m_cameras.clear();
    Scene back;
    RecordingView view;
    ASSERT_EQ(ReadBytes(Written(noCameras), back, &view), ReadSceneResult::Read);
    EXPECT_EQ(back.m_settings.currentObject, 1);
    EXPECT_EQ(back.m_settings.currentCamera, -1);  // stored 1, but there is no camera
    EXPECT_EQ(view.defaultView, 1);

    Scene outOfRange = noCameras;
    outOfRange.m_settings.currentObject = 2;
    ASSERT_EQ(ReadBytes(Written(outOfRange), back), ReadSceneResult::Read);
    EXPECT_EQ(back.m_settings.currentObject, -1);
    outOfRange.m_settings.currentObject = -7;
    ASSERT_EQ(ReadBytes(Written(outOfRange), back), ReadSceneResult::Read);
    EXPECT_EQ(back.m_settings.currentObject, -1);
}

TEST(SceneFileReader, NegativeListCountsReadNothingButNegativeVertexCountsEndTheFile) {
    std::vector<uint8_t> bytes = Written(Scene());
    PatchI32(bytes, kMaterialCountOffset, -5);
    Scene scene;
    EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::Read);
    EXPECT_TRUE(scene.m_materials.empty());

    Scene one;
    one.m_objects = {Triangle("A")};
    bytes = Written(one);
    // The vertex count follows the object's fields: name "A", material "Default", and so on.
    const size_t vertexCountAt = kObjectCountOffset + 4 + 2 + 8 + 4 + 4 + 36 + 19 + 3 + 4 + 4;
    ASSERT_GE(bytes.size(), vertexCountAt + 4);
    ASSERT_EQ(LoadU32(bytes.data() + vertexCountAt), 3u);
    PatchI32(bytes, vertexCountAt, -1);
    EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::EndOfFile);
    EXPECT_TRUE(scene.m_objects.empty());
}

TEST(SceneFileReader, HugeCountsEndAtOnceWithoutAllocating) {
    std::vector<uint8_t> bytes = Written(Scene());
    PatchI32(bytes, kObjectCountOffset, 2000000000);
    Scene scene;
    EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::EndOfFile);

    Scene one;
    one.m_objects = {Triangle("A")};
    bytes = Written(one);
    const size_t vertexCountAt = kObjectCountOffset + 4 + 2 + 8 + 4 + 4 + 36 + 19 + 3 + 4 + 4;
    PatchI32(bytes, vertexCountAt, 2000000000);
    EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::EndOfFile);

    // A string claiming four gigabytes.
    bytes = Written(one);
    const std::vector<uint8_t> huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_GT(bytes.size(), kObjectCountOffset + 4);
    bytes.erase(bytes.begin() + kObjectCountOffset + 4);
    bytes.insert(bytes.begin() + kObjectCountOffset + 4, huge.begin(), huge.end());
    EXPECT_EQ(ReadBytes(bytes, scene), ReadSceneResult::EndOfFile);
}

TEST(SceneFileReader, IndicesThatWouldReachOutsideAListAreRepaired) {
    Scene scene;
    scene.m_materials.resize(1);
    scene.m_materialNames = {""};
    scene.m_objects = {Triangle("A"), Triangle("B"), Triangle("C")};
    scene.m_objects[0].materialIndex = 1;   // one past the end
    scene.m_objects[1].materialIndex = -2;  // below -1
    scene.m_objects[2].materialIndex = 0;
    scene.m_objects[2].meshes.push_back({0, 1, 3, 0, 0, 0, 0});  // corner 3 of 3 vertices
    scene.m_objects[2].meshes.push_back({2, 1, 0, 0, 0, 0, 0});
    scene.m_objects[2].meshCount = 3;
    Scene back;
    ASSERT_EQ(ReadBytes(Written(scene), back), ReadSceneResult::Read);
    ASSERT_GE(back.m_objects.size(), 3u);
    EXPECT_EQ(back.m_objects[0].materialIndex, -1);
    EXPECT_EQ(back.m_objects[1].materialIndex, -1);
    EXPECT_EQ(back.m_objects[2].materialIndex, 0);
    ASSERT_EQ(back.m_objects[2].meshes.size(), 2u);
    EXPECT_EQ(back.m_objects[2].meshCount, 2);
    EXPECT_EQ(back.m_objects[2].meshes[1].a, 2);
}

TEST(SceneFileReader, MaterialNamesMustMatchTheMaterials) {
    Scene scene = RichScene();
    // Two lists of different lengths: the file is damaged and ends where the names do, keeping
    // the materials that have their names.
    scene.m_materialNames.pop_back();
    Scene back;
    EXPECT_EQ(ReadBytes(Written(scene), back), ReadSceneResult::EndOfFile);
    EXPECT_EQ(back.m_materials.size(), 1u);
    EXPECT_TRUE(back.m_objects.empty());
    EXPECT_EQ(SceneRuleBroken(back), "");

    // A name that is not its material's is the material's own name.
    scene.m_materialNames = {"Oak", "x"};
    Scene renamed;
    ASSERT_EQ(ReadBytes(Written(scene), renamed), ReadSceneResult::Read);
    EXPECT_EQ(renamed.m_materialNames, (std::vector<std::string>{"Wood", ""}));
    // Also when the file ends inside the names.
    scene.m_materialNames = {"Oak"};
    Scene cut;
    EXPECT_EQ(ReadBytes(Written(scene), cut), ReadSceneResult::EndOfFile);
    EXPECT_EQ(cut.m_materialNames, (std::vector<std::string>{"Wood"}));
    EXPECT_EQ(SceneRuleBroken(cut), "");
}

TEST(SceneFileReader, EveryCutEndsTheFileAndKeepsOnlyCompleteRecords) {
    const Scene scene = RichScene();
    const std::vector<uint8_t> full = Written(scene);
    size_t lastObjects = 0;
    for (size_t n = 0; n < full.size(); ++n) {
        const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        Scene back;
        ASSERT_EQ(ReadBytes(cut, back), ReadSceneResult::EndOfFile) << n;
        // Records arrive whole and in order.
        ASSERT_GE(back.m_objects.size(), lastObjects);
        lastObjects = back.m_objects.size();
        ASSERT_LE(back.m_objects.size(), scene.m_objects.size()) << n;
        for (const SceneObject& o : back.m_objects)
            ExpectSameObject(o, scene.m_objects[&o - &back.m_objects[0]]);
        EXPECT_EQ(SceneRuleBroken(back), "") << n;
    }
    EXPECT_EQ(lastObjects, 1u);  // cut in the middle of the second object: the first stays
}

TEST(InputStream, AFileIsReadWholeAndThenReadLikeMemory) {
    testfiles::TempDir dir;
    const Scene scene = RichScene();
    const std::vector<uint8_t> bytes = Written(scene);
    testfiles::WriteBytes(dir.File("rich.zmv"), bytes);
    int error = -1;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(dir.File("rich.zmv"), error);
    ASSERT_TRUE(in);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(in->Size(), bytes.size());
    Scene back;
    back.ClearScene();
    ASSERT_EQ(ReadScene(*in, back), ReadSceneResult::Read);
    Scene again = scene;
    again.m_settings.currentCamera = 0;  // a file with cameras opens at its first camera
    EXPECT_EQ(Written(back), Written(again));

    // A large file, and an empty one.
    std::vector<uint8_t> large(3u << 20);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<uint8_t>(i * 7 + i / 4096);
    testfiles::WriteBytes(dir.File("large.bin"), large);
    in = InputStream::OpenFile(dir.File("large.bin"), error);
    ASSERT_TRUE(in);
    std::vector<uint8_t> read(large.size());
    ASSERT_TRUE(in->Read(read.data(), read.size()));
    EXPECT_TRUE(read == large);
    EXPECT_EQ(in->Remaining(), 0u);

    testfiles::WriteBytes(dir.File("empty.zmv"), {});
    in = InputStream::OpenFile(dir.File("empty.zmv"), error);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Size(), 0u);
    EXPECT_EQ(ReadScene(*in, back), ReadSceneResult::EndOfFile);
}

TEST(InputStream, ALargeFileIsHeldAFewWindowsAtATime) {
    testfiles::TempDir dir;
    const size_t window = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    std::vector<uint8_t> bytes(16 * window);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(1 + (i % 251 + i / window) % 255);
    const size_t zero = 5 * window + 7;
    bytes[zero] = 0;
    testfiles::WriteBytes(dir.File("windows.bin"), bytes);
    int error = -1;
    std::unique_ptr<FileWindows> file = FileWindows::Open(
        open(dir.File("windows.bin").c_str(), O_RDONLY), bytes.size(), {window, 2}, error);
    ASSERT_TRUE(file);
    auto same = [&](size_t from, size_t n) {
        return file->Provide(from, n) &&
               std::memcmp(file->Data() + from, bytes.data() + from, n) == 0;
    };
    // A span longer than the windows held is held whole until the next one.
    EXPECT_TRUE(same(window / 2, 3 * window));
    EXPECT_EQ(file->Resident(), 4u);
    EXPECT_TRUE(same(10 * window + 5, 10));
    EXPECT_EQ(file->Resident(), 2u);
    EXPECT_TRUE(same(0, window));  // given back, read again
    // Jumping back and forth reads at most twice the file before everything is kept.
    for (int round = 0; round < 10; ++round)
        for (size_t w = 0; w < 16; w += 3)
            ASSERT_TRUE(same(w * window + 1, 2));
    EXPECT_LE(file->Reads(), 16u + 16u + 16u);

    // Names across windows and longer than all the windows held.
    std::unique_ptr<InputStream> in =
        InputStream::OpenFile(dir.File("windows.bin"), error, {window, 2});
    ASSERT_TRUE(in);
    std::string text;
    in->Seek(window - 3);
    ASSERT_TRUE(in->ReadCString(text));
    EXPECT_TRUE(text == std::string(bytes.begin() + window - 3, bytes.begin() + zero));
    EXPECT_FALSE(in->ReadCString(text));
    EXPECT_TRUE(text == std::string(bytes.begin() + zero + 1, bytes.end()));

    // A file cut short while it is read fails from there on.
    std::unique_ptr<FileWindows> cut = FileWindows::Open(
        open(dir.File("windows.bin").c_str(), O_RDONLY), bytes.size(), {window, 2}, error);
    ASSERT_TRUE(cut);
    ASSERT_EQ(truncate(dir.File("windows.bin").c_str(), static_cast<off_t>(5 * window)), 0);
    EXPECT_TRUE(cut->Provide(0, 10));
    EXPECT_FALSE(cut->Provide(12 * window, 10));
    EXPECT_EQ(cut->Error(), EIO);
    EXPECT_FALSE(cut->Provide(0, 10));
}

TEST(InputStream, AFileReadInSmallWindowsGivesTheSameSceneAndReportsACut) {
    testfiles::TempDir dir;
    const std::string path = dir.File("apollo.3ds");
    const std::vector<uint8_t> bytes =
        testfiles::ReadBytes(testfiles::TestData("celestia/apollo.3ds"));
    testfiles::WriteBytes(path, bytes);
    Scene whole;
    ASSERT_TRUE(ImportSceneFile(path, whole).ok);
    const WindowSizes small{static_cast<size_t>(sysconf(_SC_PAGESIZE)), 2};
    int error = -1;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(path, error, small);
    ASSERT_TRUE(in);
    Scene windowed;
    ASSERT_EQ(Read3DS(*in, windowed), Read3dsResult::Read);
    EXPECT_EQ(in->Error(), 0);
    windowed.m_bModified = whole.m_bModified;
    MakeFirstRecordsCurrent(windowed);
    EXPECT_EQ(Written(windowed), Written(whole));

    in = InputStream::OpenFile(path, error, small);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(bytes.size() / 2)), 0);
    Scene cut;
    Read3DS(*in, cut);
    EXPECT_EQ(in->Error(), EIO);
}

TEST(InputStream, FilesThatCannotBeOpenedGiveTheirErrorCode) {
    testfiles::TempDir dir;
    int error = 0;
    EXPECT_FALSE(InputStream::OpenFile(dir.File("missing.zmv"), error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(InputStream::OpenFile(dir.Path().string(), error));
    EXPECT_EQ(error, EISDIR);
}

TEST(InputStream, ReadsThatDoNotFitDeliverNothing) {
    const uint8_t bytes[] = {'a', 'b', 0, 'c', 'd'};
    InputStream in(bytes, sizeof bytes);
    const uint8_t* span = nullptr;
    ASSERT_TRUE(in.ReadSpan(2, span));
    EXPECT_EQ(span, bytes);
    EXPECT_FALSE(in.ReadSpan(4, span));
    EXPECT_EQ(in.Tell(), 2u);
    uint32_t word;
    EXPECT_FALSE(in.ReadU32(word));
    EXPECT_EQ(in.Tell(), 2u);
    std::string text;
    ASSERT_TRUE(in.ReadCString(text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(in.ReadCString(text));  // no zero byte before the end
    EXPECT_EQ(text, "cd");
    EXPECT_EQ(in.Tell(), 5u);
    in.Seek(9);
    EXPECT_EQ(in.Remaining(), 0u);
    uint8_t byte;
    EXPECT_FALSE(in.ReadU8(byte));
    ASSERT_TRUE(in.ReadSpan(0, span));  // past the end only an empty span fits: at the end
    EXPECT_EQ(span, bytes + sizeof bytes);
    EXPECT_EQ(in.Tell(), 9u);
}
