// `zemvora --check` on files built with a known list of faults: every planted fault is named
// with its offset, skipped chunks are counted by id, the summary closes the report, and
// listening changes nothing the import reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <sstream>

#include "cli/CommandLine.h"
#include "import3ds/Read3DS.h"
#include "tests/TestFiles.h"
#include "tools/Chunk3ds.h"

using build3ds::Face;
using build3ds::Vec3;
using testfiles::TempDir;
using testfiles::TestData;
using testfiles::WriteBytes;

namespace {

constexpr uint64_t kFirstEditorChunk = 22;  // main header, version chunk, editor header

const std::vector<Vec3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};

// The editor's chunks of a file, and where each one starts in it.
struct Layout {
    std::vector<Chunk3ds> chunks;
    std::vector<uint64_t> offsets;

    uint64_t Add(const Chunk3ds& c) {
        uint64_t offset = kFirstEditorChunk;
        for (const Chunk3ds& before : chunks)
            offset += before.Bytes().size();
        chunks.push_back(c);
        offsets.push_back(offset);
        return offset;
    }
};

std::string At(uint64_t offset) {
    char text[32];
    std::snprintf(text, sizeof text, "offset 0x%08llX: ", static_cast<unsigned long long>(offset));
    return text;
}

struct Check {
    int status;
    std::vector<std::string> lines;
    std::string err;
};

Check RunCheck(const std::vector<uint8_t>& bytes) {
    TempDir dir;
    const std::string path = dir.File("planted.3ds");
    WriteBytes(path, bytes);
    std::ostringstream out, err;
    const int status = RunCommandLine({"--check", path}, out, err);
    Check check{status, {}, err.str()};
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);)
        check.lines.push_back(line);
    return check;
}

bool Has(const Check& check, const std::string& line) {
    for (const std::string& l : check.lines)
        if (l == line) return true;
    return false;
}

std::string Lines(const Check& check) {
    std::string all;
    for (const std::string& l : check.lines)
        all += l + "\n";
    return all;
}

Chunk3ds NameOnlyMaterial(const std::string& name) {
    return Chunk3ds(chunk::kMaterial).Add(Chunk3ds(chunk::kMaterialName).Name(name));
}

}  // namespace

TEST(ImportCheck, NamesEveryPlantedFaultOfAWholeFile) {
    Layout file;
    const uint64_t red = file.Add(NameOnlyMaterial("Red"));
    const uint64_t red2 = file.Add(NameOnlyMaterial("Red"));
    const uint64_t ghost =
        file.Add(Chunk3ds(chunk::kNamedObject).Name("Ghost").Add(Chunk3ds(0x4010)));

    // A mesh whose second triangle reaches vertex 5 of 3, with mapping coordinates and a group
    // naming a material that no file chunk holds.
    Chunk3ds mesh(chunk::kTriangleMesh);
    mesh.Add(build3ds::VertexList(kTriangle));
    mesh.Add(Chunk3ds(chunk::kMappingCoords).U16(0));
    mesh.Add(build3ds::FaceList({{0, 1, 2, 0}, {0, 1, 5, 0}, {2, 1, 0, 0}},
                                {build3ds::FaceMaterial("Blue", 3)}));
    const uint64_t bad = file.Add(Chunk3ds(chunk::kNamedObject).Name("Bad").Add(mesh));
    const uint64_t meshAt = bad + 6 + 4;
    const uint64_t facesAt = meshAt + 6 + build3ds::VertexList(kTriangle).Bytes().size() + 8;
    const uint64_t groupAt = facesAt + 6 + 2 + 3 * 8;

    uint64_t ninth = 0;
    for (int i = 1; i <= 9; ++i) {
        const uint64_t at =
            file.Add(build3ds::LightObject("L" + std::to_string(i), {0, 0, 1}, {255, 255, 255}));
        if (i == 9) ninth = at + 6 + 3;
    }
    const uint64_t scale = file.Add(Chunk3ds(chunk::kMasterScale).F32(1));
    file.Add(Chunk3ds(chunk::kMasterScale).F32(2));
    // A material whose diffuse chunk claims more bytes than the material holds.
    Chunk3ds longMaterial(chunk::kMaterial);
    longMaterial.Add(Chunk3ds(chunk::kMaterialName).Name("Long"));
    longMaterial.Add(build3ds::MaterialColor(chunk::kDiffuse, {1, 2, 3}).Length(100));
    const uint64_t longAt = file.Add(longMaterial);
    const uint64_t diffuseAt = longAt + 6 + 6 + 5;
    const uint64_t longEnd = longAt + longMaterial.Bytes().size();
    const std::vector<uint8_t> bytes = build3ds::File(file.chunks);

    const Check check = RunCheck(bytes);
    EXPECT_EQ(check.status, kExitOk);
    EXPECT_EQ(check.err, "");
    const std::vector<std::string> expected = {
        At(red2) + "material \"Red\" replaces the one of the same name at " + At(red).substr(7, 10),
        At(ghost) +
            "named object \"Ghost\" holds no mesh, light or camera (its first chunk is "
            "0x4010)",
        At(groupAt) +
            "material group names \"Blue\", which no material before it has; the "
            "object is drawn in grey",
        At(meshAt + 6 + build3ds::VertexList(kTriangle).Bytes().size()) +
            "mapping coordinates of \"Bad\": 0 pairs for 3 vertices; dropped",
        At(facesAt + 6 + 2 + 8) +
            "triangle 1 of \"Bad\" dropped: corner 5 is out of range (3 "
            "vertices)",
        At(ninth) + "light \"L9\" is light 9; only the first 8 are lit",
        At(diffuseAt) +
            "chunk 0xA020 (diffuse colour) of 100 bytes runs past the end of its parent at " +
            At(longEnd).substr(7, 10),
        At(scale) + "chunk 0x0100 (master scale) skipped, 2 times from here on",
        "planted.3ds: read 1 object, 2 triangles, 3 materials, 9 lights, 0 cameras; 2 chunks "
        "skipped, 7 other notes",
    };
    EXPECT_EQ(check.lines, expected) << Lines(check);
}

TEST(ImportCheck, NamesMapsPassedOverOrDamagedAndExtrasThatDoNotFit) {
    Layout file;
    file.Add(NameOnlyMaterial("A"));
    file.Add(NameOnlyMaterial("B"));
    Chunk3ds material(chunk::kMaterial);
    material.Add(Chunk3ds(chunk::kMaterialName).Name("M"));
    material.Add(Chunk3ds(chunk::kTextureMap1)
                     .Add(Chunk3ds(chunk::kMapFileName).Name("t.png"))
                     .Add(Chunk3ds(chunk::kMapTiling).U16(0).Length(100)));
    material.Add(Chunk3ds(chunk::kBumpMap).Add(Chunk3ds(chunk::kMapFileName).Name("b.png")));
    const uint64_t mapAt = file.Add(material) + 6 + 8;

    // Two pairs of mapping coordinates for three vertices; group B names face 5 of 1; two
    // smoothing masks for the one face.
    Chunk3ds mesh(chunk::kTriangleMesh);
    mesh.Add(build3ds::VertexList(kTriangle));
    mesh.Add(Chunk3ds(chunk::kMappingCoords).U16(2).F32(0).F32(0).F32(1).F32(1));
    mesh.Add(build3ds::FaceList(
        {{0, 1, 2, 0}},
        {build3ds::FaceMaterial("A", 1), Chunk3ds(chunk::kFaceMaterial).Name("B").U16(1).U16(5),
         Chunk3ds(chunk::kSmoothGroups).U32(1).U32(2)}));
    const uint64_t meshAt = file.Add(Chunk3ds(chunk::kNamedObject).Name("Quad").Add(mesh)) + 11;
    // A vertex list with an infinite and a NaN coordinate among three vertices.
    const float inf = std::numeric_limits<float>::infinity();
    const uint64_t farAt =
        file.Add(build3ds::MeshObject(
            "Far", {{0, 0, 0}, {inf, 0, 0}, {1, std::numeric_limits<float>::quiet_NaN(), 0}},
            {{0, 1, 2, 0}}, "")) +
        10 + 6;

    const Check check = RunCheck(build3ds::File(file.chunks));
    EXPECT_EQ(check.status, kExitOk);
    const std::vector<std::string> expected = {
        At(mapAt + 6 + 12) +
            "damaged chunk ends the texture map of material \"M\"; kept as far as it was read",
        At(mapAt + 26) + "bump map of material \"M\" (\"b.png\") passed over",
        At(meshAt + 6 + 44 + 24 + 16 + 12) +
            "material group \"B\" of \"Quad\": face 5 is not one of its face list's 1; passed over",
        At(meshAt + 6 + 44 + 24 + 16 + 12 + 12) +
            "smoothing groups of \"Quad\": 2 masks for 1 face; passed over",
        At(meshAt + 6 + 44) + "mapping coordinates of \"Quad\": 2 pairs for 3 vertices; dropped",
    };
    ASSERT_GE(check.lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(check.lines.begin(), check.lines.begin() + 5), expected)
        << Lines(check);
    const std::string far = At(farAt) +
                            "vertex list of \"Far\": 2 vertices of 3 with a coordinate that is not "
                            "a number; kept as read, left out of the bounds";
    EXPECT_NE(std::find(check.lines.begin(), check.lines.end(), far), check.lines.end())
        << Lines(check);
}

TEST(ImportCheck, NamesListsMeshesAndRecordsCutShortByTheEndOfTheFile) {
    // A vertex list announcing 100 vertices in a file that ends after one.
    Chunk3ds list(chunk::kVertexList);
    list.U16(100).F32(1).F32(2).F32(3);
    Chunk3ds mesh(chunk::kTriangleMesh);
    mesh.Add(list);
    Layout file;
    const uint64_t object = file.Add(Chunk3ds(chunk::kNamedObject).Name("Cut").Add(mesh));
    Check check = RunCheck(build3ds::File(file.chunks, false));
    EXPECT_EQ(check.status, kExitOk);
    EXPECT_TRUE(Has(check, At(object + 4 + 6 + 6) +
                               "vertex list of \"Cut\" cut short by the end of the file; not read"))
        << Lines(check);

    // A mesh whose length promises more chunks than the file has left.
    Chunk3ds longMesh(chunk::kTriangleMesh);
    longMesh.Add(build3ds::VertexList(kTriangle)).Length(4000);
    Layout meshFile;
    const uint64_t at = meshFile.Add(Chunk3ds(chunk::kNamedObject).Name("Long").Add(longMesh));
    const std::vector<uint8_t> bytes = build3ds::File(meshFile.chunks, false);
    check = RunCheck(bytes);
    EXPECT_TRUE(Has(check, At(bytes.size()) + "mesh of \"Long\" cut short by the end of the "
                                              "file; kept as far as it was read"))
        << Lines(check);
    EXPECT_TRUE(Has(check, At(at + 11) +
                               "chunk 0x4100 (mesh) of 4000 bytes runs past the end of its "
                               "parent at " +
                               At(bytes.size()).substr(7, 10)))
        << Lines(check);

    // A camera and a light whose data the file ends inside, and a last object's name.
    for (const uint16_t id : {chunk::kCamera, chunk::kLight}) {
        Layout records;
        const uint64_t named =
            records.Add(Chunk3ds(chunk::kNamedObject).Name("Eye").Add(Chunk3ds(id).F32(1).F32(2)));
        check = RunCheck(build3ds::File(records.chunks, false));
        const std::string what = id == chunk::kCamera ? "camera" : "light";
        EXPECT_TRUE(Has(
            check, At(named + 10) + what + " \"Eye\" cut short by the end of the file; not read"))
            << Lines(check);
    }
    Layout unnamed;
    const uint64_t last = unnamed.Add(Chunk3ds(chunk::kNamedObject).Raw({'N', 'o'}));
    check = RunCheck(build3ds::File(unnamed.chunks, false));
    EXPECT_TRUE(
        Has(check, At(last) + "named object \"No\" cut short by the end of the file; not read"))
        << Lines(check);
}

TEST(ImportCheck, NamesChunkLengthsThatDoNotFit) {
    // A mesh's walk counts the mesh's own header among its chunks, so after a last face list
    // without nested chunks it takes the next chunk as its own: a stray vertex list there is
    // read into the mesh (and visited again by the top-level walk, which skips it).
    Layout onward;
    onward.Add(build3ds::MeshObject("Box", kTriangle, {{0, 1, 2, 0}}, ""));
    const uint64_t after = onward.Add(build3ds::VertexList(kTriangle));
    Check check = RunCheck(build3ds::File(onward.chunks, false));
    const std::vector<std::string> expected = {
        At(after) + "vertex list after the end of the mesh of \"Box\" at " +
            At(after).substr(7, 10) + " was read as part of it",
        At(after) + "chunk 0x4110 (vertex list) skipped",
        "planted.3ds: read 1 object, 1 triangle, 0 materials, 0 lights, 0 cameras; 1 chunk "
        "skipped, 1 other note"};
    EXPECT_EQ(check.lines, expected) << Lines(check);

    // A chunk too short to hold its header stops the walk; the chunk after it is never seen.
    Layout file;
    file.Add(NameOnlyMaterial("Seen"));
    const uint64_t broken = file.Add(Chunk3ds(chunk::kMasterScale).Length(3));
    file.Add(NameOnlyMaterial("Unseen"));
    check = RunCheck(build3ds::File(file.chunks, false));
    EXPECT_EQ(check.status, kExitOk);
    EXPECT_TRUE(Has(check, At(broken) + "chunk length below 6 bytes ends the walk; the rest was "
                                        "not read"))
        << Lines(check);
    EXPECT_EQ(check.lines.back(),
              "planted.3ds: read 0 objects, 0 triangles, 1 material, 0 lights, 0 cameras; 0 "
              "chunks skipped, 1 other note");

    // Three stray bytes at the end of the file, too few for a header.
    std::vector<uint8_t> bytes = build3ds::File({NameOnlyMaterial("A")}, false);
    const uint64_t tail = bytes.size();
    bytes.insert(bytes.end(), {1, 2, 3});
    bytes[2] = static_cast<uint8_t>(bytes.size());  // the main chunk's length stays the file's
    check = RunCheck(bytes);
    EXPECT_TRUE(Has(check, At(tail) + "chunk header cut short by the end of the file (3 bytes "
                                      "left)"))
        << Lines(check);
}

TEST(ImportCheck, CleanFilesReportNothingButTheirSummary) {
    // Meshes with and without material groups, last in the file or followed by other chunks:
    // the mesh's walk looking one chunk past its end is no fault of the file.
    const Chunk3ds material =
        build3ds::Material("M", {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, 10, std::nullopt);
    const Chunk3ds grouped = build3ds::MeshObject("Box", kTriangle, {{0, 1, 2, 0}}, "M");
    const Chunk3ds plain = build3ds::MeshObject("Bare", kTriangle, {{0, 1, 2, 0}}, "");
    for (const std::vector<Chunk3ds>& chunks : std::vector<std::vector<Chunk3ds>>{
             {material, grouped}, {material, plain}, {plain, material}, {plain, plain}}) {
        const Check check = RunCheck(build3ds::File(chunks, false));
        ASSERT_EQ(check.lines.size(), 1u) << Lines(check);
        EXPECT_NE(check.lines[0].find("; 0 chunks skipped, 0 other notes"), std::string::npos)
            << Lines(check);
    }
}

// A folder is named as the user gave it, and the reasons beneath the messages are printed.
TEST(ImportCheck, FailuresNameThePathAndGiveTheReason) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("models"));
    const std::string wrongHeader =
        "wrong.3ds is not a valid 3ds file.\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB4\xE9\x94\x99"
        "\xE8\xAF\xAF or "
        "\xE6\x96\x87\xE4\xBB\xB6\xE9\x95\xBF\xE5\xBA\xA6\xE9\x94\x99\xE8\xAF\xAF\n";
    const struct {
        std::string path;
        std::string err;
    } cases[] = {
        {dir.File("models") + "/",
         dir.File("models") + "/ contains an invalid path.\nIs a directory\n"},
        {TestData("online3dviewer/wrong.3ds"),
         wrongHeader + "The file's header or length is not that of a 3DS file.\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine({"--check", c.path}, out, err), kExitFileError) << c.path;
        EXPECT_EQ(err.str(), c.err);
    }
}

TEST(ImportCheck, UnreadableFilesExitWithTheImportMessage) {
    TempDir dir;
    WriteBytes(dir.File("tiny.3ds"), {0x4D, 0x4D, 7, 0, 0, 0});
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--check", dir.File("tiny.3ds")}, out, err), kExitFileError);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("tiny.3ds"), std::string::npos) << err.str();

    std::ostringstream out2, err2;
    EXPECT_EQ(RunCommandLine({"--check", dir.File("missing.3ds")}, out2, err2), kExitFileError);
    EXPECT_NE(err2.str().find("missing.3ds"), std::string::npos);
    EXPECT_EQ(RunCommandLine({"--check"}, out2, err2), kExitUsage);
    EXPECT_EQ(RunCommandLine({"--check", "a", "b"}, out2, err2), kExitUsage);

    // --help documents the command line's newer abilities.
    std::ostringstream help, helpErr;
    ASSERT_EQ(RunCommandLine({"--help"}, help, helpErr), kExitOk);
    for (const char* usage :
         {"zemvora --check FILE", "zemvora --thumbnail SIZE IN OUT.png", "[--turntable N]"})
        EXPECT_NE(help.str().find(usage), std::string::npos) << usage;
}

namespace {

class CountingListener final : public ImportListener {
public:
    size_t notes = 0;
    void Found(const ImportNote&) override { ++notes; }
};

}  // namespace

TEST(ImportCheck, ListeningChangesNothingTheImportReads) {
    // Files with skipped chunks, and one with meshes read on past their end.
    for (const char* file : {"online3dviewer/cube_with_materials.3ds", "celestia/apollo.3ds",
                             "assimp/jeep1.3ds", "assimp/cube_with_specular_texture.3DS"}) {
        SCOPED_TRACE(file);
        int errorCode = 0;
        std::unique_ptr<InputStream> quiet = InputStream::OpenFile(TestData(file), errorCode);
        std::unique_ptr<InputStream> heard = InputStream::OpenFile(TestData(file), errorCode);
        if (!quiet || !heard) continue;  // checked where the test files are listed
        Scene plain, listened;
        CountingListener listener;
        ASSERT_EQ(Read3DS(*quiet, plain), Read3dsResult::Read);
        ASSERT_EQ(Read3DS(*heard, listened, &listener), Read3dsResult::Read);
        EXPECT_GT(listener.notes, 0u);
        ASSERT_EQ(plain.m_objects.size(), listened.m_objects.size());
        for (size_t i = 0; i < plain.m_objects.size(); ++i) {
            EXPECT_EQ(plain.m_objects[i].meshCount, listened.m_objects[i].meshCount);
            EXPECT_EQ(plain.m_objects[i].vertexCount, listened.m_objects[i].vertexCount);
            EXPECT_EQ(plain.m_objects[i].materialIndex, listened.m_objects[i].materialIndex);
            EXPECT_EQ(plain.m_objects[i].faceGroups.size(),
                      listened.m_objects[i].faceGroups.size());
            EXPECT_EQ(plain.m_objects[i].uvs.size(), listened.m_objects[i].uvs.size());
        }
        for (size_t i = 0; i < plain.m_materials.size(); ++i)
            EXPECT_EQ(plain.m_materials[i].textureMap.has_value(),
                      listened.m_materials[i].textureMap.has_value());
        EXPECT_EQ(plain.m_materialNames, listened.m_materialNames);
        EXPECT_EQ(plain.m_lights.size(), listened.m_lights.size());
    }
}

TEST(ImportCheck, EveryRealTestFileIsCheckedWithTheCountsInfoPrints) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestData(""))) {
        const std::string path = entry.path().string();
        if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
        SCOPED_TRACE(path);
        std::ostringstream out, err, info, infoErr;
        const int status = RunCommandLine({"--check", path}, out, err);
        const int infoStatus = RunCommandLine({"--info", path}, info, infoErr);
        if (entry.path().extension() != ".3ds" && entry.path().extension() != ".3DS") continue;
        EXPECT_EQ(status, infoStatus);
        if (status != kExitOk) continue;
        int objects, vertices, meshes, materials, lights, cameras;
        ASSERT_EQ(std::sscanf(info.str().c_str(),
                              "Object:%d Vertex:%d Mesh:%d Material:%d Light:%d Camera:%d",
                              &objects, &vertices, &meshes, &materials, &lights, &cameras),
                  6);
        const std::string report = out.str();
        ASSERT_FALSE(report.empty());
        const size_t lastLine = report.rfind('\n', report.size() - 2);
        const std::string summary = report.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
        auto count = [](int n, const char* word) {
            return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
        };
        const std::string expected = entry.path().filename().string() + ": read " +
                                     count(objects, "object") + ", " + count(meshes, "triangle") +
                                     ", " + count(materials, "material") + ", " +
                                     count(lights, "light") + ", " + count(cameras, "camera") + ";";
        EXPECT_EQ(summary.find(expected), 0u) << summary << " vs " << expected;
        // The copies a keyframer places are named with their object.
        const std::string name = entry.path().filename().string();
        if (name == "cube_two_instances.3ds" || name == "cube_instance_scale_rotation.3ds") {
            const char* copies = name[5] == 't' ? ": 1 placed copy of \"cube\"\n"
                                                : ": 3 placed copies of \"cube\"\n";
            EXPECT_NE(report.find(copies), std::string::npos) << report;
        }
    }
}

// A scene file keeps the images found when it was saved; --check names those it was saved
// without, as --convert did when it saved it.
TEST(ImportCheck, ASceneFileNamesTheImagesItWasSavedWithout) {
    TempDir dir;
    std::filesystem::copy_file(TestData("assimp/jeep1.3ds"), dir.File("jeep1.3ds"));
    const struct {
        std::string model, convertErr, checkOut;
    } cases[] = {
        {TestData("assimp/jeep1.3ds"), "",
         "kept.zmv: read 7 objects, 2032 triangles, 1 material, 0 lights, 0 cameras\n"},
        {dir.File("jeep1.3ds"), "Saved without texture image \"jeep1.jpg\"\n",
         "texture image \"jeep1.jpg\" of material \"Material01\" is missing: not found beside the "
         "file\nkept.zmv: read 7 objects, 2032 triangles, 1 material, 0 lights, 0 cameras; 1 "
         "texture image missing\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        std::ostringstream out, err, checkOut, checkErr;
        ASSERT_EQ(RunCommandLine({"--convert", c.model, dir.File("kept.zmv")}, out, err), 0);
        EXPECT_EQ(err.str(), c.convertErr);
        ASSERT_EQ(RunCommandLine({"--check", dir.File("kept.zmv")}, checkOut, checkErr), 0);
        EXPECT_EQ(checkOut.str(), c.checkOut);
    }
}
