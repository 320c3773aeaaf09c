// The scene file's extension block: extras round trip, files without extras keep their bytes, a
// file with the block is the old file plus the block, and a damaged block loses only the extras,
// with a message for the window and the command line. Also the dump and the undo states of the
// extras.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/SceneDump.h"
#include "commands/DocumentCommands.h"
#include "commands/SceneFileCommands.h"
#include "history/RecordState.h"
#include "history/SceneViewEdits.h"
#include "scene/ImageTable.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"
#include "scene/SceneMessages.h"
#include "tests/ScriptedPrompts.h"
#include "tests/TestFiles.h"

namespace {

std::vector<uint8_t> Written(const Scene& scene) {
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    EXPECT_TRUE(out.Ok());
    return bytes;
}

ReadSceneResult Read(const std::vector<uint8_t>& bytes, Scene& scene, ReadExtrasResult& extras) {
    const std::vector<uint8_t> copy(bytes);
    InputStream in(copy.data(), copy.size());
    scene.ClearScene();
    return ReadScene(in, scene, &extras);
}

SceneObject Quad(const std::string& name) {
    SceneObject o;
    o.name = name;
    o.vertices = {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 1}, {1, 1, 0, 0, 0, 1}, {0, 1, 0, 0, 0, 1}};
    o.meshes = {{0, 1, 2, 0, 0, 0, 1}, {0, 2, 3, 0, 0, 0, 1}};
    o.vertexCount = 4, o.meshCount = 2;
    return o;
}

// An image the model held inside itself (its bytes are never decoded here).
const std::vector<uint8_t> kImageBytes = {0x89, 'P', 'N', 'G', 0, 1, 2};

// Two objects and two materials, the first of each without extras.
Scene SceneWithExtras() {
    Scene s;
    s.m_materials.resize(2);
    s.m_materials[0].name = "Red";
    s.m_materials[1].name = "Wood";
    TextureMap map;
    map.fileName = "C:\\maps\\wood.jpg";
    map.strength = 0.5f, map.tiling = 0x11, map.uScale = 2, map.vScale = -3;
    map.uOffset = 0.25f, map.vOffset = -0.0f, map.rotation = 45;
    map.embeddedImage = AddSceneImage(s, kImageBytes);
    s.m_materials[1].textureMap = map;
    s.m_materialNames = {"Red", "Wood"};
    s.m_objects = {Quad("Plain"), Quad("Box")};
    SceneObject& box = s.m_objects[1];
    box.faceGroups = {{"Wood", {1}}, {std::string(300, 'x'), {0}}};
    box.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 0.5f}};
    box.smoothingGroups = {1, 0x80000002};
    Matrix4 placed = IdentityMatrix();
    placed[0] = 1.5f, placed[12] = -2;
    box.copies = {{"Box.02", placed}};
    return s;
}

Scene WithoutExtras(Scene s) {
    for (SceneObject& o : s.m_objects) {
        o.faceGroups.clear();
        o.uvs.clear();
        o.smoothingGroups.clear();
        o.copies.clear();
    }
    for (SceneMaterial& m : s.m_materials)
        m.textureMap.reset();
    s.m_images.clear();
    return s;
}

}  // namespace

TEST(SceneExtras, RoundTripAndTheOlderFileAsAPrefix) {
    const Scene scene = SceneWithExtras();
    ASSERT_EQ(SceneRuleBroken(scene), "");
    const std::vector<uint8_t> bytes = Written(scene);
    Scene back;
    ReadExtrasResult extras;
    ASSERT_EQ(Read(bytes, back, extras), ReadSceneResult::Read);
    EXPECT_EQ(extras, ReadExtrasResult::Read);
    EXPECT_EQ(SceneRuleBroken(back), "");
    back.m_strFilePath.clear();
    EXPECT_EQ(DumpSceneJson(back), DumpSceneJson(scene));
    EXPECT_EQ(Written(back), bytes);

    // Without the extras the scene is written as ever: the file with them is that file and the
    // block, so a reader that stops after the last object reads the scene without its extras.
    const std::vector<uint8_t> older = Written(WithoutExtras(scene));
    ASSERT_GT(bytes.size(), older.size() + 4);
    EXPECT_TRUE(std::equal(older.begin(), older.end(), bytes.begin()));
    EXPECT_EQ(0, std::memcmp(bytes.data() + older.size(), "ZMVX", 4));
    ASSERT_EQ(Read(older, back, extras), ReadSceneResult::Read);
    EXPECT_EQ(extras, ReadExtrasResult::None);
    back.m_strFilePath.clear();
    EXPECT_EQ(DumpSceneJson(back), DumpSceneJson(WithoutExtras(scene)));
}

TEST(SceneExtras, ADamagedBlockLosesOnlyTheExtras) {
    const Scene scene = SceneWithExtras();
    const std::vector<uint8_t> bytes = Written(scene);
    const size_t blockAt = Written(WithoutExtras(scene)).size();
    const std::string plainDump = DumpSceneJson(WithoutExtras(scene));
    const auto expectLost = [&](const std::vector<uint8_t>& file, ReadExtrasResult expected) {
        Scene back;
        ReadExtrasResult extras;
        ASSERT_EQ(Read(file, back, extras), ReadSceneResult::Read);
        EXPECT_EQ(extras, expected);
        EXPECT_EQ(SceneRuleBroken(back), "");
        back.m_strFilePath.clear();
        EXPECT_EQ(DumpSceneJson(back), plainDump);
    };
    for (size_t n = blockAt + 1; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        expectLost(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n)),
                   ReadExtrasResult::Damaged);
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    expectLost(longer, ReadExtrasResult::Damaged);
    std::vector<uint8_t> newer = bytes;
    newer[blockAt + 4] = 3;
    expectLost(newer, ReadExtrasResult::NewerVersion);
    // The last entry, a material's image: of a material without a map, and beyond the table.
    std::vector<uint8_t> mapless = bytes;
    mapless[bytes.size() - 8] = 0;
    expectLost(mapless, ReadExtrasResult::Damaged);
    std::vector<uint8_t> beyond = bytes;
    beyond[bytes.size() - 4] = 1;
    expectLost(beyond, ReadExtrasResult::Damaged);

    // Extras that break a rule of the scene, as a writer that does not check them would write.
    struct Case {
        const char* what;
        void (*damage)(Scene&);
    };
    const Case cases[] = {
        {"face outside", [](Scene& s) { s.m_objects[1].faceGroups[0].faces = {2}; }},
        {"face twice", [](Scene& s) { s.m_objects[1].faceGroups[1].faces = {1}; }},
        {"empty group", [](Scene& s) { s.m_objects[1].faceGroups[1].faces.clear(); }},
        {"uvs not one per vertex", [](Scene& s) { s.m_objects[1].uvs.pop_back(); }},
        {"masks not one per triangle", [](Scene& s) { s.m_objects[1].smoothingGroups.pop_back(); }},
        {"copy not finite", [](Scene& s) { s.m_objects[1].copies[0].matrix[5] = NAN; }},
        {"map without file", [](Scene& s) { s.m_materials[1].textureMap->fileName.clear(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene damaged = SceneWithExtras();
        c.damage(damaged);
        expectLost(Written(damaged), ReadExtrasResult::Damaged);
    }

    // A section of an id this version does not know is passed over.
    Scene mapOnly = WithoutExtras(scene);
    mapOnly.m_materials[1].textureMap = scene.m_materials[1].textureMap;
    mapOnly.m_materials[1].textureMap->embeddedImage = -1;
    std::vector<uint8_t> unknown = Written(mapOnly);
    unknown[blockAt + 4 + 2 + 8] = 99;
    expectLost(unknown, ReadExtrasResult::Read);
}

// A file of the block's first version kept a copy of an image for each material showing it; it
// still reads, into one image of the scene's table, and is written again with the image once.
TEST(SceneExtras, ImagesOfTheFirstVersionJoinTheTableOnce) {
    Scene scene = WithoutExtras(SceneWithExtras());
    for (SceneMaterial& m : scene.m_materials)
        m.textureMap = SceneWithExtras().m_materials[1].textureMap;
    for (SceneMaterial& m : scene.m_materials)
        m.textureMap->embeddedImage = -1;
    std::vector<uint8_t> bytes = Written(scene);
    const size_t blockAt = Written(WithoutExtras(scene)).size();
    ASSERT_EQ(bytes[blockAt + 4], 1);
    const auto put = [&bytes](uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const uint64_t entry = 4 + 8 + kImageBytes.size(), contents = 4 + 2 * entry;
    put(3, 2), put(contents, 8), put(2, 4);
    for (uint32_t material : {0u, 1u}) {
        put(material, 4), put(kImageBytes.size(), 8);
        bytes.insert(bytes.end(), kImageBytes.begin(), kImageBytes.end());
    }
    uint64_t blockBytes = 0;
    std::memcpy(&blockBytes, &bytes[blockAt + 6], 8);
    blockBytes += 2 + 8 + contents;
    std::memcpy(&bytes[blockAt + 6], &blockBytes, 8);

    Scene back;
    ReadExtrasResult extras;
    ASSERT_EQ(Read(bytes, back, extras), ReadSceneResult::Read);
    ASSERT_EQ(extras, ReadExtrasResult::Read);
    ASSERT_EQ(back.m_images.size(), 1u);
    EXPECT_EQ(back.m_images[0].bytes, kImageBytes);
    for (const SceneMaterial& m : back.m_materials)
        EXPECT_EQ(m.textureMap->embeddedImage, 0);
    const std::vector<uint8_t> again = Written(back);
    EXPECT_EQ(again[blockAt + 4], 2);
    const auto first =
        std::search(again.begin(), again.end(), kImageBytes.begin(), kImageBytes.end());
    ASSERT_NE(first, again.end());
    EXPECT_EQ(std::search(first + 1, again.end(), kImageBytes.begin(), kImageBytes.end()),
              again.end());
}

TEST(SceneExtras, TheWindowAndTheCommandLineSayWhatADamagedBlockLost) {
    testfiles::TempDir dir;
    const std::string path = dir.File("damaged.zmv");
    std::vector<uint8_t> bytes = Written(SceneWithExtras());
    bytes.pop_back();
    testfiles::WriteBytes(path, bytes);

    Scene scene;
    const FileOutcome outcome = OpenSceneFile(path, scene);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.warning, messages::SceneExtrasDamaged(path));
    EXPECT_EQ(outcome.warning, "The face materials and texture data of " + path +
                                   " are damaged. The scene was opened without them.");
    EXPECT_EQ(scene.m_objects.size(), 2u);

    // The window shows the scene first, then the message.
    ScriptedPrompts prompts;
    const FrameUpdate update = OpenSceneFileFromOutside(path, scene, prompts);
    ASSERT_GE(update.steps.size(), 2u);
    EXPECT_EQ(update.steps.back(), FrameStep::ShowNotice);
    EXPECT_NE(std::find(update.steps.begin(), update.steps.end(), FrameStep::SetWindowTitle),
              update.steps.end());
    EXPECT_EQ(update.notice, outcome.warning);
    EXPECT_EQ(update.noticeIcon, NoticeIcon::Warning);

    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--dump", path}, out, err), kExitOk);
    EXPECT_EQ(err.str(), outcome.warning + "\n");
    EXPECT_NE(out.str().find("\"Box\""), std::string::npos);
    EXPECT_EQ(out.str().find("faceGroups"), std::string::npos);
}

TEST(SceneExtras, TheDumpShowsExtrasOnlyWhereTheyAre) {
    Scene scene = SceneWithExtras();
    scene.m_objects[1].faceGroups[1].material = "Red";
    const std::string dump = DumpSceneJson(scene);
    for (const char* part : {
             "\"shininess\": 0, \"transparency\": 0,\n      \"textureMap\": {\"fileName\": "
             "\"C:\\\\maps\\\\wood.jpg\", \"strength\": 0.5, \"tiling\": 17, \"uScale\": 2, "
             "\"vScale\": -3, \"uOffset\": 0.25, \"vOffset\": -0, \"rotation\": 45, "
             "\"embeddedBytes\": 7}}",
             "]],\n      \"faceGroups\": [{\"material\": \"Wood\", \"faces\": [1]}, "
             "{\"material\": \"Red\", \"faces\": [0]}],\n"
             "      \"smoothingGroups\": [1, 2147483650],\n"
             "      \"copies\": [{\"name\": \"Box.02\", \"matrix\": [1.5, 0, 0, 0, 0, 1, 0, 0, 0, "
             "0, "
             "1, 0, -2, 0, 0, 1]}],\n"
             "      \"uvs\": [[0, 0], [1, 0], [1, 1], [0, 0.5]]\n    }",
         })
        EXPECT_NE(dump.find(part), std::string::npos) << part << "\n" << dump;
    // One of each: the plain object and material show none.
    for (const char* key :
         {"textureMap", "faceGroups", "smoothingGroups", "copies", "uvs", "embeddedBytes"})
        EXPECT_EQ(dump.find(key), dump.rfind(key)) << key;
}

TEST(SceneExtras, UndoStatesOfAMaterialCarryItsTextureMap) {
    Scene scene = SceneWithExtras();
    const RecordRef wood = MaterialRecord(1);
    const std::optional<RecordState> before = CaptureRecord(scene, wood);
    ASSERT_TRUE(before);
    scene.m_materials[1].textureMap->rotation = 90;
    EXPECT_FALSE(SameState(*before, *CaptureRecord(scene, wood)));
    scene.m_materials[1].textureMap.reset();
    EXPECT_FALSE(SameState(*before, *CaptureRecord(scene, wood)));
    ASSERT_TRUE(RestoreRecord(scene, wood, *before));
    EXPECT_EQ(scene.m_materials[1].textureMap->rotation, 45);
    EXPECT_TRUE(SameState(*before, *CaptureRecord(scene, wood)));
    scene.m_materials[1].textureMap->fileName = std::string(100, 'f');
    EXPECT_GE(StateHeapBytes(*CaptureRecord(scene, wood)), 100u);
}

TEST(SceneExtras, QuarterTurnsStandTheChosenAxisUpAndComeBack) {
    const struct {
        UpAxis up;
        const char* name;
        std::array<double, 3> axis;  // the model's axis that ends up along +Z
    } cases[] = {
        {UpAxis::PlusZ, "z", {0, 0, 1}},    {UpAxis::PlusY, "+Y", {0, 1, 0}},
        {UpAxis::MinusY, "-y", {0, -1, 0}}, {UpAxis::PlusX, "x", {1, 0, 0}},
        {UpAxis::MinusX, "-X", {-1, 0, 0}}, {UpAxis::MinusZ, "-z", {0, 0, -1}},
    };
    const std::array<float, 3> centre = {10, -20, 5};
    const std::array<double, 3> p = {3, -7, 11};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UpAxisNamed(c.name), c.up);
        EXPECT_EQ(TurnedUpright(c.up, c.axis), (std::array<double, 3>{0, 0, 1}));
        const std::array<double, 3> turned = TurnedUpright(c.up, p);
        EXPECT_EQ(TurnedBack(c.up, turned), p);
        // The matrix the view draws with turns a point as the function does, about the centre.
        const std::array<float, 16> m = UprightMatrix(c.up, centre);
        const std::array<double, 3> fromCentre = TurnedUpright(
            c.up, std::array<double, 3>{p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]});
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2] + m[12 + i],
                      fromCentre[i] + centre[i]);
    }
    for (const char* wrong : {"", "w", "+-y", "yy"})
        EXPECT_FALSE(UpAxisNamed(wrong)) << wrong;
}

TEST(SceneExtras, HiddenObjectsAndTheUpAxisAreStepsToUndoKeptInTheFile) {
    Scene scene = WithoutExtras(SceneWithExtras());
    EditHistory history;
    EXPECT_FALSE(HideCurrentObject(scene, &history));  // no current object
    scene.m_settings.currentObject = 1;
    const std::vector<uint8_t> plain = Written(scene);
    ASSERT_TRUE(HideCurrentObject(scene, &history));
    EXPECT_FALSE(HideCurrentObject(scene, &history));
    EXPECT_TRUE(scene.m_objects[1].hidden && scene.m_bModified);
    EXPECT_EQ(history.UndoName(), "Hide object");
    ASSERT_TRUE(SetUpAxis(scene, &history, UpAxis::PlusY));
    EXPECT_FALSE(SetUpAxis(scene, &history, UpAxis::PlusY));
    EXPECT_EQ(history.UndoName(), "Up axis");

    // Both are kept in the block, each in a section of its own, and read back.
    const std::vector<uint8_t> bytes = Written(scene);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.begin()));
    Scene back;
    ReadExtrasResult extras;
    ASSERT_EQ(Read(bytes, back, extras), ReadSceneResult::Read);
    EXPECT_EQ(extras, ReadExtrasResult::Read);
    EXPECT_TRUE(!back.m_objects[0].hidden && back.m_objects[1].hidden);
    EXPECT_EQ(back.m_settings.upAxis, UpAxis::PlusY);
    // An up axis that is none of them damages the block: its value is the file's last word.
    std::vector<uint8_t> wrong = bytes;
    wrong.back() = 9;
    ASSERT_EQ(Read(wrong, back, extras), ReadSceneResult::Read);
    EXPECT_EQ(extras, ReadExtrasResult::Damaged);
    EXPECT_TRUE(!back.m_objects[1].hidden && back.m_settings.upAxis == UpAxis::PlusZ);

    // Undone, the scene is written as it was before, byte for byte.
    ASSERT_TRUE(history.Undo(scene));
    EXPECT_EQ(scene.m_settings.upAxis, UpAxis::PlusZ);
    ASSERT_TRUE(history.Undo(scene));
    EXPECT_FALSE(scene.m_objects[1].hidden);
    EXPECT_EQ(Written(scene), plain);
    EXPECT_FALSE(ShowAllObjects(scene, &history));
    ASSERT_TRUE(history.Redo(scene));
    scene.m_objects[0].hidden = true;
    ASSERT_TRUE(ShowAllObjects(scene, &history));
    EXPECT_TRUE(std::none_of(scene.m_objects.begin(), scene.m_objects.end(),
                             [](const SceneObject& o) { return o.hidden; }));
    EXPECT_EQ(history.UndoName(), "Show all objects");
}
