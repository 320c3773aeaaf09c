// Scenes written to other formats by the export child: every format read back by the import with
// the same triangles, bounds and colours; the 3D Studio writer read back into the same records;
// and the failures (no folder, a file size limit, a child that crashes), each with its message
// and nothing left behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "childimport/ForeignExport.h"
#include "childimport/ForeignImport.h"
#include "cli/SceneDump.h"
#include "export3ds/Write3DS.h"
#include "formats/ExportFormats.h"
#include "import3ds/ImportFile.h"
#include "import3ds/Read3DS.h"
#include "scene/SceneCheck.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
namespace fs = std::filesystem;

namespace {

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        ProcessForeignImportSettings().program = ZEMVORA_EXE;
        ASSERT_TRUE(ImportSceneFile(testfiles::TestData("assimp/jeep1.3ds"), m_jeep).ok);
    }
    void TearDown() override { ProcessForeignImportSettings() = ForeignImportSettings(); }

    // The files in the folder, by name.
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    Scene m_jeep;
};

}  // namespace

TEST_F(Export, EveryFormatReadsBackWithTheSameTrianglesBoundsAndColours) {
    TempDir dir;
    const SceneStatistics original = CountStatistics(m_jeep);
    for (const ExportFormat& format : ExportFormatTable()) {
        SCOPED_TRACE(format.name);
        const std::string path = dir.File("jeep" + format.extension);
        ConversionReport report;
        const FileOutcome outcome = ExportSceneToFile(m_jeep, path, &report);
        ASSERT_TRUE(outcome.ok) << outcome.message << " " << outcome.reason;
        // Formats without materials, or without texture maps (3MF), say so.
        EXPECT_EQ(report.lines.empty(), format.materials && format.extension != ".3mf")
            << testing::PrintToString(report.lines);

        Scene back;
        ASSERT_TRUE(ImportSceneFile(path, back).ok || ImportForeignFile(path, back).ok);
        EXPECT_EQ(SceneRuleBroken(back), "");
        EXPECT_EQ(CountStatistics(back).meshes, original.meshes);
        // The bounds, as up is turned there and back.
        const SceneSettings& a = m_jeep.m_settings;
        const SceneSettings& b = back.m_settings;
        const float size = a.maxX - a.minX;
        for (const auto& [x, y] : {std::pair{a.minX, b.minX},
                                   {a.maxX, b.maxX},
                                   {a.minY, b.minY},
                                   {a.maxY, b.maxY},
                                   {a.minZ, b.minZ},
                                   {a.maxZ, b.maxZ}})
            EXPECT_NEAR(x, y, 1e-5 * size);
        if (!format.materials) continue;
        // The jeep's material, with its texture drawn from an image the export put in place;
        // COLLADA keeps the texture in place of the diffuse colour.
        const auto same = std::find_if(back.m_materials.begin(), back.m_materials.end(),
                                       [&](const SceneMaterial& m) {
                                           return m.diffuse == m_jeep.m_materials[0].diffuse ||
                                                  (format.extension == ".dae" && m.textureMap);
                                       });
        ASSERT_NE(same, back.m_materials.end());
        if (format.extension == ".3mf") continue;
        ASSERT_TRUE(same->textureMap.has_value());
        EXPECT_TRUE(same->textureMap->embeddedImage >= 0 ||
                    fs::exists(dir.File(fs::path(same->textureMap->fileName).filename().string())));
    }
}

TEST_F(Export, NotesGoWhereTheFormatHasAPlaceForThem) {
    TempDir dir;
    m_jeep.m_objects[0].note = "front\nwheel";
    const std::string first = m_jeep.m_objects[0].name;
    const auto text = [&](const std::string& name) {
        EXPECT_TRUE(ExportSceneToFile(m_jeep, dir.File(name)).ok) << name;
        std::ifstream in(dir.File(name));
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // OBJ: comments before the object's first group; glTF: its node's extras. A note that only
    // repeats its object's name (as every other object's does) is left out.
    const std::string obj = text("jeep.obj");
    EXPECT_NE(obj.find("# note: front\n# note: wheel\ng " + first + "\n"), std::string::npos);
    EXPECT_EQ(obj.find("# note: ", obj.find("# note: wheel") + 1), std::string::npos);
    const std::string gltf = text("jeep.gltf");
    EXPECT_NE(gltf.find(R"("extras":{"note":"front\nwheel"})"), std::string::npos);
    EXPECT_EQ(gltf.find("extras", gltf.find("extras") + 1), std::string::npos);
}

TEST_F(Export, TheStudioWriterGivesTheReaderItsOwnRecordsBack) {
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(testfiles::TestData(""))) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".3ds" && ext != ".3DS") continue;
        SCOPED_TRACE(entry.path().string());
        Scene scene;
        if (!ImportSceneFile(entry.path().string(), scene).ok) continue;
        std::vector<std::string> notes;
        const std::vector<uint8_t> bytes = Write3DS(scene, notes);
        InputStream in(bytes.data(), bytes.size());
        Scene back;
        ASSERT_EQ(Read3DS(in, back), Read3dsResult::Read);
        // Names longer than the format allows are cut, and said so; all else comes back.
        for (size_t i = 0; notes.empty() && i < back.m_objects.size(); ++i)
            EXPECT_EQ(back.m_objects[i].name, scene.m_objects[i].name);
        for (SceneObject& o : back.m_objects)
            o.name = o.note = "";
        for (SceneObject& o : scene.m_objects)
            o.name = o.note = "";
        for (auto* s : {&scene, &back}) {
            s->m_settings.currentObject = s->m_settings.currentCamera = -1;
            for (SceneLight& l : s->m_lights)
                l.name.clear();
            for (SceneCamera& c : s->m_cameras)
                c.name.clear();
            s->m_bModified = false;
            s->m_strFilePath.clear();
        }
        const std::string want = DumpSceneJson(scene), got = DumpSceneJson(back);
        const size_t at =
            std::mismatch(want.begin(), want.end(), got.begin(), got.end()).first - want.begin();
        EXPECT_EQ(at, want.size()) << want.substr(at > 200 ? at - 200 : 0, 400) << "\n---\n"
                                   << got.substr(at > 200 ? at - 200 : 0, 400);
        ++files;
    }
    EXPECT_GE(files, 25u);
}

TEST_F(Export, FailuresSayWhyAndLeaveNothingBehind) {
    TempDir dir;
    const std::string kept = dir.File("kept.glb");
    std::ofstream(kept) << "the file before";
    const auto expectNothingNew = [&] {
        EXPECT_EQ(Files(dir.File("")), std::vector<std::string>({"kept.glb"}));
        std::ifstream in(kept);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the file before");
    };

    // A folder that is not there.
    FileOutcome outcome = ExportSceneToFile(m_jeep, dir.File("none/jeep.glb"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "jeep.glb could not be exported.");
    EXPECT_EQ(outcome.reason, "No such file or directory");
    expectNothingNew();

    // A folder that may not be written: one without write permission, or, for root, who may
    // write anywhere else, the kernel's /sys.
    const bool root = geteuid() == 0;
    const std::string locked = root ? "/sys" : dir.File("locked");
    if (!root) {
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    }
    outcome = ExportSceneToFile(m_jeep, locked + "/jeep.glb");
    EXPECT_EQ(outcome.message, "jeep.glb could not be exported.");
    // The system's words: /sys refuses as it is mounted, read-only in a container.
    const std::vector<std::string> refusals = {"Permission denied", "Operation not permitted",
                                               "Read-only file system"};
    EXPECT_NE(std::find(refusals.begin(), refusals.end(), outcome.reason), refusals.end())
        << outcome.reason;
    EXPECT_FALSE(fs::exists(locked + "/jeep.glb"));
    if (!root) {
        fs::permissions(locked, fs::perms::owner_all);
        fs::remove(locked);
    }

    // A file size limit, as `ulimit -f` sets it, which the child inherits.
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit small{4096, before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    outcome = ExportSceneToFile(m_jeep, kept);
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, "The exporter stopped: file size limit exceeded");
    expectNothingNew();

    // A child that crashes.
    const std::string crashing = dir.File("crashing.sh");
    std::ofstream(crashing) << "#!/bin/sh\nkill -SEGV $$\n";
    fs::permissions(crashing, fs::perms::owner_all);
    ProcessForeignImportSettings().program = crashing;
    outcome = ExportSceneToFile(m_jeep, kept);
    EXPECT_EQ(outcome.reason, "The exporter stopped: segmentation fault");
    fs::remove(crashing);
    expectNothingNew();

    // The target is replaced whole once the export succeeds.
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    ASSERT_TRUE(ExportSceneToFile(m_jeep, kept).ok);
    EXPECT_EQ(Files(dir.File("")), std::vector<std::string>({"kept.glb"}));
    EXPECT_GT(fs::file_size(kept), 100000u);
}
