// The readers' bounds on hostile files: overlapping chunks, many small lists, many material
// groups and scene files of empty names load in time and memory linear in their size, a file
// that would pass a bound reads as a file cut short there, and no well-formed file comes near one.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "cli/SceneDump.h"
#include "import3ds/Read3DS.h"
#include "scene/SceneFile.h"
#include "tests/TestFiles.h"
#include "tools/HostileFiles.h"

namespace {

using testfiles::TestData;

uint64_t KeepLimit(uint64_t fileSize) {
    return ReadBudget::kKeepFactor * fileSize + ReadBudget::kKeepAllowance;
}

size_t TotalVertices(const Scene& scene) {
    size_t total = 0;
    for (const SceneObject& o : scene.m_objects)
        total += o.vertices.size();
    return total;
}

Read3dsResult Import(const std::vector<uint8_t>& bytes, Scene& scene, ReadBudget& budget) {
    InputStream in(bytes.data(), bytes.size());
    return Read3DS(in, scene, budget);
}

}  // namespace

TEST(ReadBounds3ds, OverlappingMeshesStopAtTheMemoryBound) {
    // 804 KB that read without bounds make 65,535,000 vertices (1.5 GB).
    const std::vector<uint8_t> bytes = hostile::OverlappingMeshes(1000, 65535);
    Scene scene;
    ReadBudget budget(bytes.size());
    ASSERT_EQ(Import(bytes, scene, budget), Read3dsResult::Read);
    EXPECT_TRUE(budget.Spent());

    // Objects read as before until the bound, each with the whole shared list; the list that
    // would pass it is left out, as a list cut short is...
    ASSERT_GE(scene.m_objects.size(), 3u);
    for (size_t i = 0; i + 1 < scene.m_objects.size(); ++i) {
        EXPECT_EQ(scene.m_objects[i].vertices.size(), 65535u) << i;
        EXPECT_EQ(scene.m_objects[i].vertexCount, 65535) << i;
    }
    EXPECT_EQ(scene.m_objects.back().vertices.size() % 65535, 0u);
    // ...and the walk ends there, as at the end of a file.
    EXPECT_LT(scene.m_objects.size(), 1000u);
    EXPECT_LE(TotalVertices(scene) * sizeof(SceneVertex), KeepLimit(bytes.size()));
}

TEST(ReadBounds3ds, OverlappingMeshesWithoutListsStopAtTheWorkBound) {
    // Every mesh walks the headers of all objects after it: quadratic without a bound on the
    // bytes looked at, although nothing is kept.
    const std::vector<uint8_t> bytes = hostile::OverlappingMeshes(4000, 0);
    Scene scene;
    ReadBudget budget(bytes.size());
    ASSERT_EQ(Import(bytes, scene, budget), Read3dsResult::Read);
    EXPECT_TRUE(budget.Spent());
    EXPECT_GT(scene.m_objects.size(), 100u);
    EXPECT_LT(scene.m_objects.size(), 4000u);

    // A small number of objects stays well within it and reads whole.
    const std::vector<uint8_t> few = hostile::OverlappingMeshes(20, 3);
    Scene fewScene;
    ReadBudget fewBudget(few.size());
    ASSERT_EQ(Import(few, fewScene, fewBudget), Read3dsResult::Read);
    EXPECT_FALSE(fewBudget.Spent());
    EXPECT_EQ(fewScene.m_objects.size(), 20u);
    EXPECT_EQ(TotalVertices(fewScene), 60u);
}

TEST(ReadBounds3ds, ManySmallListsAppendInOrder) {
    const size_t lists = 20000;
    const std::vector<uint8_t> bytes = hostile::ManySmallLists(lists);
    Scene scene;
    ReadBudget budget(bytes.size());
    ASSERT_EQ(Import(bytes, scene, budget), Read3dsResult::Read);
    EXPECT_FALSE(budget.Spent());
    ASSERT_EQ(scene.m_objects.size(), 1u);
    const SceneObject& o = scene.m_objects[0];
    ASSERT_EQ(o.vertices.size(), lists);
    EXPECT_EQ(o.vertexCount, static_cast<int32_t>(lists));
    for (size_t i = 0; i < lists; i += 997) {
        EXPECT_EQ(o.vertices[i].x, static_cast<float>(i % 1000)) << i;
        EXPECT_EQ(o.vertices[i].y, static_cast<float>(i / 1000)) << i;
    }
    // Face i uses vertices i, i + 1 and i + 2: the last two reach past the vertices.
    ASSERT_EQ(o.meshes.size(), lists - 2);
    EXPECT_EQ(o.meshes[123].a, 123);
    EXPECT_EQ(o.meshes[123].c, 125);
    EXPECT_EQ(o.meshCount, static_cast<int32_t>(lists - 2));
}

TEST(ReadBounds3ds, MaterialGroupsFindTheLastMaterialOfTheirName) {
    const std::vector<uint8_t> bytes = hostile::ManyMaterialGroups(3000, 3000);
    Scene scene;
    ReadBudget budget(bytes.size());
    ASSERT_EQ(Import(bytes, scene, budget), Read3dsResult::Read);
    ASSERT_EQ(scene.m_materialNames.size(), 3000u);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].materialIndex, 2999);
    EXPECT_EQ(scene.m_objects[0].materialName, "m");

    // Names already in the scene are found too, and a later one of the same name wins.
    Scene before;
    before.m_materialNames = {"m", "x"};
    before.m_materials.resize(2);
    ReadBudget again(bytes.size());
    ASSERT_EQ(Import(bytes, before, again), Read3dsResult::Read);
    EXPECT_EQ(before.m_objects[0].materialIndex, 3001);
}

TEST(ReadBounds3ds, ASpentBudgetReadsLikeAFileCutThere) {
    using build3ds::Vec3;
    const std::vector<Vec3> triangle = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    const Chunk3ds first = build3ds::MeshObject("First", triangle, {{0, 1, 2, 0}}, "");
    const Chunk3ds second = build3ds::MeshObject("Second", triangle, {{0, 1, 2, 0}}, "");
    auto file = [](const std::vector<Chunk3ds>& objects) {
        Chunk3ds editor(chunk::kEditor);
        for (const Chunk3ds& o : objects)
            editor.Add(o);
        return Chunk3ds(chunk::kMain).Add(Chunk3ds(chunk::kVersion).U32(3)).Add(editor).Bytes();
    };
    const std::vector<uint8_t> both = file({first, second});
    const std::vector<uint8_t> cut = file({first});

    // Room for exactly the first object's records.
    const uint64_t firstObject = sizeof(SceneObject) + 3 * sizeof(SceneVertex) + sizeof(SceneMesh);
    Scene bounded;
    ReadBudget budget(uint64_t{1} << 20, firstObject);
    ASSERT_EQ(Import(both, bounded, budget), Read3dsResult::Read);
    EXPECT_TRUE(budget.Spent());

    Scene whole;
    ReadBudget unbounded(cut.size());
    ASSERT_EQ(Import(cut, whole, unbounded), Read3dsResult::Read);
    EXPECT_EQ(DumpSceneJson(bounded), DumpSceneJson(whole));
}

TEST(ReadBounds3ds, NoRealFileComesNearTheBounds) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestData(""))) {
        if (!entry.is_regular_file()) continue;
        std::string ext = entry.path().extension().string();
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".3ds") continue;
        const std::vector<uint8_t> bytes = testfiles::ReadBytes(entry.path().string());
        // A tenth of the allowance, so that a real file is far from it, not just inside.
        ReadBudget budget(ReadBudget::kLookFactor * bytes.size() + ReadBudget::kLookAllowance / 10,
                          ReadBudget::kKeepFactor * bytes.size() + ReadBudget::kKeepAllowance / 10);
        Scene scene;
        Import(bytes, scene, budget);
        EXPECT_FALSE(budget.Spent()) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 10u);
}

TEST(ReadBoundsScene, EmptyNamesStopAtTheMemoryBound) {
    // 2^31 - 1 names of one byte each: 32 bytes of memory per byte of file without a bound.
    const std::vector<uint8_t> bytes = hostile::EmptyNamesScene(size_t{8} << 20);
    InputStream in(bytes.data(), bytes.size());
    Scene scene;
    ReadBudget budget(bytes.size());
    EXPECT_EQ(ReadScene(in, scene, budget), ReadSceneResult::EndOfFile);
    EXPECT_TRUE(budget.Spent());
    // The names without materials that were read before the bound are given back with the
    // file's end.
    EXPECT_TRUE(scene.m_materialNames.empty());
}

TEST(ReadBoundsScene, ASpentBudgetReadsLikeAFileCutThereAndRealScenesStayFarBelow) {
    // A real scene as a scene file.
    std::vector<uint8_t> model = testfiles::ReadBytes(TestData("assimp/jeep1.3ds"));
    Scene imported;
    ReadBudget importBudget(model.size());
    ASSERT_EQ(Import(model, imported, importBudget), Read3dsResult::Read);
    ASSERT_FALSE(importBudget.Spent());
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, imported);

    {
        InputStream in(bytes.data(), bytes.size());
        Scene scene;
        ReadBudget budget(ReadBudget::kLookFactor * bytes.size(),
                          ReadBudget::kKeepFactor * bytes.size());
        EXPECT_EQ(ReadScene(in, scene, budget), ReadSceneResult::Read);
        EXPECT_FALSE(budget.Spent());
        EXPECT_EQ(scene.m_objects.size(), imported.m_objects.size());
    }
    {
        // Room for a third of it: the objects that fit come whole, as after a cut.
        InputStream in(bytes.data(), bytes.size());
        Scene scene;
        ReadBudget budget(UINT64_MAX, bytes.size() / 3);
        EXPECT_EQ(ReadScene(in, scene, budget), ReadSceneResult::EndOfFile);
        EXPECT_TRUE(budget.Spent());
        ASSERT_LT(scene.m_objects.size(), imported.m_objects.size());
        for (size_t i = 0; i < scene.m_objects.size(); ++i) {
            EXPECT_EQ(scene.m_objects[i].vertices.size(), imported.m_objects[i].vertices.size());
            EXPECT_EQ(scene.m_objects[i].meshes.size(), imported.m_objects[i].meshes.size());
        }
    }
}
