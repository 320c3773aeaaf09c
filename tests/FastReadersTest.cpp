// The program's own readers of the bulk formats give the scene the Open Asset Import Library's
// reading gives, byte for byte in the dump, and hand every file they do not take to the library
// with the reason: binary STL and binary PLY files, written here in the shapes real files have.
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <vector>

#include "ConvertScene.h"
#include "FastPly.h"
#include "FastReading.h"
#include "FastStl.h"
#include "MeshObjects.h"
#include "scene/OutputStream.h"
#include "scene/SceneFile.h"
#include "tests/FastReaderCompare.h"
#include "tests/TestFiles.h"

using namespace testfiles;
using fastreaders::ExpectTheLibrarysScene;

namespace {

// A binary STL of the facets facet(i) gives for i below count, after an 80-byte header.
struct Facet {
    float normal[3];
    float corners[9];
    uint16_t attribute = 0;
};
void WriteStl(const std::string& path, uint32_t count, const std::function<Facet(uint32_t)>& facet,
              const std::string& header = "binary") {
    std::ofstream out(path, std::ios::binary);
    std::string head = header;
    head.resize(80, ' ');
    out.write(head.data(), 80);
    out.write(reinterpret_cast<const char*>(&count), 4);
    for (uint32_t i = 0; i < count; ++i) {
        const Facet f = facet(i);
        out.write(reinterpret_cast<const char*>(f.normal), 12);
        out.write(reinterpret_cast<const char*>(f.corners), 36);
        out.write(reinterpret_cast<const char*>(&f.attribute), 2);
    }
}

// A bumpy grid's squares, two facets each, with the normals an exporter computes in floats: the
// normals of one plane differ in their last bits, and the library joins those within 1e-5.
std::vector<uint8_t> SceneBytes(const Scene& scene) {
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return bytes;
}

Facet GridFacet(uint32_t i, int columns) {
    const int square = static_cast<int>(i / 2), x = square % columns, y = square / columns;
    const auto at = [](int cx, int cy, float* to) {
        to[0] = cx * 0.01f, to[1] = cy * 0.01f, to[2] = 0.05f * ((7 * cx + 13 * cy) % 17) / 17;
    };
    Facet f{};
    at(x, y, f.corners);
    at(x + 1, y + 1, f.corners + 3);
    at(i % 2 ? x + 1 : x, i % 2 ? y : y + 1, f.corners + 6);
    const float u[3] = {f.corners[3] - f.corners[0], f.corners[4] - f.corners[1],
                        f.corners[5] - f.corners[2]};
    const float v[3] = {f.corners[6] - f.corners[0], f.corners[7] - f.corners[1],
                        f.corners[8] - f.corners[2]};
    float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int k = 0; k < 3; ++k)
        f.normal[k] = n[k] / length;
    return f;
}

// What a PLY file holds, written in any of the binary forms.
struct PlyVertex {
    double x, y, z, nx, ny, nz, u, v;
};
struct PlyShape {
    std::vector<PlyVertex> vertices;
    std::vector<std::vector<int>> faces;
};

// A folded sheet of squares, as quads: each square's own four vertices (as exporters write
// them), normals of the fold's two planes and each square's own mapping coordinates, so that
// vertices at one position join only where both agree; one square's corner pushed in, so that it
// is concave and split from that corner.
PlyShape FoldedSheet(int columns, int rows) {
    PlyShape shape;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int base = static_cast<int>(shape.vertices.size());
            for (const auto& [dc, dr] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                const double x = c + dc, y = r + dr;
                const double z = x < columns / 2.0 ? x * 0.5 : (columns - x) * 0.5;
                const double nx = x < columns / 2.0 ? -0.447213595 : 0.447213595;
                shape.vertices.push_back({x, y, z, nx, 0, 0.894427191, double(dc), double(dr)});
            }
            if (r == 1 && c == 1)
                shape.vertices[base + 2].x -= 0.8, shape.vertices[base + 2].y -= 0.8;
            shape.faces.push_back({base, base + 1, base + 2, base + 3});
        }
    return shape;
}

// Writes shape as a binary PLY: big- or little-endian, positions as floats or doubles, with or
// without normals and mapping coordinates, header lines added as given.
void WritePly(const std::string& path, const PlyShape& shape, bool bigEndian, bool doubles,
              bool normals, bool uvs, const std::string& extraHeader = "") {
    std::ofstream out(path, std::ios::binary);
    const char* real = doubles ? "double" : "float";
    out << "ply\nformat " << (bigEndian ? "binary_big_endian" : "binary_little_endian")
        << " 1.0\ncomment made by a test\n"
        << extraHeader << "element vertex " << shape.vertices.size() << "\nproperty " << real
        << " x\nproperty " << real << " y\nproperty " << real << " z\n";
    if (normals) out << "property float nx\nproperty float ny\nproperty float nz\n";
    if (uvs) out << "property float s\nproperty float t\n";
    out << "element face " << shape.faces.size()
        << "\nproperty list uchar int vertex_indices\nend_header\n";
    const auto put = [&](const void* value, size_t size) {
        char bytes[8];
        std::memcpy(bytes, value, size);
        if (bigEndian) std::reverse(bytes, bytes + size);
        out.write(bytes, static_cast<std::streamsize>(size));
    };
    const auto putReal = [&](double value, bool asDouble) {
        const float single = static_cast<float>(value);
        asDouble ? put(&value, 8) : put(&single, 4);
    };
    for (const PlyVertex& v : shape.vertices) {
        for (double c : {v.x, v.y, v.z})
            putReal(c, doubles);
        if (normals)
            for (double c : {v.nx, v.ny, v.nz})
                putReal(c, false);
        if (uvs)
            for (double c : {v.u, v.v})
                putReal(c, false);
    }
    for (const std::vector<int>& face : shape.faces) {
        const uint8_t n = static_cast<uint8_t>(face.size());
        put(&n, 1);
        for (int index : face)
            put(&index, 4);
    }
}

}  // namespace

TEST(FastReaders, EveryBinaryPlyGivesTheLibrarysSceneAndTheRestGoToTheLibrary) {
    TempDir dir;
    const PlyShape sheet = FoldedSheet(6, 4);
    WritePly(dir.File("sheet.ply"), sheet, false, false, true, true,
             "comment TextureFile maps\\first.png\ncomment TextureFile .\\sheet.png\n");
    WritePly(dir.File("sheet-be.ply"), sheet, true, true, true, false);
    WritePly(dir.File("sheet-bare.ply"), sheet, false, false, false, false);
    // A grid of triangles, each with vertices of its own as the library's exporter writes them,
    // too many for one object.
    PlyShape grid;
    for (uint32_t i = 0; i < 72000; ++i) {
        const Facet f = GridFacet(i, 300);
        const int base = static_cast<int>(grid.vertices.size());
        for (int k = 0; k < 3; ++k)
            grid.vertices.push_back(
                {f.corners[3 * k], f.corners[3 * k + 1], f.corners[3 * k + 2], 0, 0, 0, 0, 0});
        grid.faces.push_back({base, base + 1, base + 2});
    }
    WritePly(dir.File("grid.ply"), grid, false, false, false, false);

    PlyShape broken = sheet;
    broken.faces[3] = {0, 1, 2, 3, 4};
    WritePly(dir.File("pentagon.ply"), broken, false, false, false, false);
    broken = sheet;
    broken.faces[5][1] = 96;
    WritePly(dir.File("beyond.ply"), broken, false, false, false, false);
    broken = sheet;
    broken.vertices[7].z = std::nan("");
    WritePly(dir.File("nan.ply"), broken, false, false, false, false);
    WritePly(dir.File("cut.ply"), sheet, false, false, false, false);
    fs::resize_file(dir.File("cut.ply"), fs::file_size(dir.File("cut.ply")) - 9);
    WritePly(dir.File("edges.ply"), sheet, false, false, false, false,
             "element edge 0\nproperty int vertex1\n");
    std::ofstream(dir.File("colours.ply"))
        << "ply\nformat binary_little_endian 1.0\nelement vertex 3\nproperty float x\n"
           "property float y\nproperty float z\nproperty uchar red\nelement face 1\n"
           "property list uchar int vertex_indices\nend_header\n";

    struct Case {
        std::string path;
        const char* declined;
    };
    const Case cases[] = {
        {dir.File("sheet.ply"), nullptr},
        {dir.File("sheet-be.ply"), nullptr},
        {dir.File("sheet-bare.ply"), nullptr},
        {dir.File("grid.ply"), nullptr},
        {dir.File("pentagon.ply"), "a face has fewer than three or more than four corners"},
        {dir.File("beyond.ply"), "a face names a vertex that is not there"},
        {dir.File("nan.ply"), "a coordinate is not a number"},
        {dir.File("cut.ply"), "it ends before its elements do"},
        {dir.File("edges.ply"), "it holds other elements than vertices followed by faces"},
        {dir.File("colours.ply"), "its vertices have colours"},
    };
    for (const Case& c : cases)
        ExpectTheLibrarysScene(c.path, c.declined, ReadPly);
}

// Writes shape as a text PLY, with normals and mapping coordinates, header lines added as given;
// each vertex line ends as line_end gives it.
void WriteTextPly(const std::string& path, const PlyShape& shape,
                  const std::string& extraHeader = "", const std::string& lineEnd = "\n") {
    std::ofstream out(path, std::ios::binary);
    out << "ply" << lineEnd << "format ascii 1.0" << lineEnd << extraHeader << "element vertex "
        << shape.vertices.size() << lineEnd
        << "property float x\nproperty float y\nproperty double z\nproperty float nx\n"
           "property float ny\nproperty float nz\nproperty float s\nproperty float t\n"
        << "element face " << shape.faces.size() << lineEnd
        << "property list uchar int vertex_indices" << lineEnd << "end_header" << lineEnd;
    out.precision(9);
    for (const PlyVertex& v : shape.vertices)
        out << v.x << " " << v.y << " " << v.z << " " << v.nx << " " << v.ny << " " << v.nz << " "
            << v.u << " " << v.v << lineEnd;
    for (const std::vector<int>& face : shape.faces) {
        out << face.size();
        for (int index : face)
            out << " " << index;
        out << lineEnd;
    }
}

TEST(FastReaders, EveryTextPlyGivesTheLibrarysSceneAndTheRestGoToTheLibrary) {
    TempDir dir;
    const PlyShape sheet = FoldedSheet(6, 4);
    WriteTextPly(dir.File("sheet.ply"), sheet, "comment TextureFile sheet.png\n");
    WriteTextPly(dir.File("windows.ply"), sheet, "", "\r\n");
    PlyShape broken = sheet;
    broken.faces[2] = {0, 1, 2, 3, 4};
    WriteTextPly(dir.File("pentagon.ply"), broken);
    broken = sheet;
    broken.faces[5][1] = -3;
    WriteTextPly(dir.File("negative.ply"), broken);
    WriteTextPly(dir.File("cut.ply"), sheet);
    fs::resize_file(dir.File("cut.ply"), fs::file_size(dir.File("cut.ply")) - 9);
    const auto replaced = [&](const std::string& name, const std::string& from,
                              const std::string& to) {
        std::ifstream in(dir.File("sheet.ply"), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text.replace(text.find(from), from.size(), to);
        std::ofstream(dir.File(name), std::ios::binary) << text;
    };
    replaced("plus.ply", "\n4 ", "\n+4 ");
    replaced("extra.ply", "\n4 ", "\n3 1 2 3 4 ");
    replaced("blank.ply", "end_header\n", "end_header\n\n");
    struct Case {
        std::string path;
        const char* declined;
    };
    const Case cases[] = {
        {std::string(ZEMVORA_TESTDATA_DIR) + "/models/ply/cube_uv.ply", nullptr},
        {dir.File("sheet.ply"), nullptr},
        {dir.File("windows.ply"), nullptr},
        {dir.File("pentagon.ply"), "a face has fewer than three or more than four corners"},
        {dir.File("negative.ply"), "a face names a vertex that is not there"},
        {dir.File("cut.ply"), "it ends before its elements do"},
        {dir.File("plus.ply"), "a value is not written as the library reads it"},
        {dir.File("extra.ply"), "a line of its elements holds more than its values"},
        {dir.File("blank.ply"), "a line of its elements is empty"},
    };
    // Numbers are read by another parser than the library's, whose last bit may differ.
    for (const Case& c : cases)
        ExpectTheLibrarysScene(c.path, c.declined, ReadPly, 1e-6);
}

TEST(FastReaders, EveryBinaryStlGivesTheLibrarysSceneAndTheRestGoToTheLibrary) {
    TempDir dir;
    // 300 x 120 squares: 72,000 facets, more corners than one object holds.
    WriteStl(dir.File("grid.stl"), 72000, [](uint32_t i) { return GridFacet(i, 300); });
    // Minus zeros, a facet of one point, a facet whose normal is nothing, and "solid" at the
    // start of a binary header, as many exporters write it.
    WriteStl(
        dir.File("zeros.stl"), 3,
        [](uint32_t i) {
            Facet f{{0, 0, -0.0f}, {-0.0f, 0, 0, 1, -0.0f, 0, 0, 1, -0.0f}};
            if (i == 1) f = Facet{{0, 0, 1}, {2, 2, 2, 2, 2, 2, 2, 2, 2}};
            if (i == 2) f = Facet{{0, 0, 0}, {0, 0, 0, 1, 0, 0, 0, 1, 0}};
            return f;
        },
        "solid exported by a binary writer");
    WriteStl(dir.File("colours.stl"), 2, [](uint32_t i) {
        Facet f = GridFacet(i, 1);
        f.attribute = i ? 0x801F : 0;
        return f;
    });
    WriteStl(
        dir.File("materialise.stl"), 2, [](uint32_t i) { return GridFacet(i, 1); },
        "COLOR=\xff\x80\x40\xff MATERIAL=...");
    WriteStl(dir.File("nan.stl"), 2, [](uint32_t i) {
        Facet f = GridFacet(i, 1);
        f.corners[4] = std::nanf("");
        return f;
    });
    WriteStl(dir.File("empty.stl"), 0, [](uint32_t i) { return GridFacet(i, 1); });
    // Corners a millionth apart, which the library joins where they share a bucket of its map:
    // a small mesh has few buckets, so many do.
    WriteStl(dir.File("near.stl"), 40, [](uint32_t i) {
        Facet f = GridFacet(i % 4, 2);
        for (int k = 0; k < 9; ++k)
            f.corners[k] += 1e-6f * static_cast<float>((i * 7 + k * 3) % 5);
        return f;
    });
    fs::copy_file(dir.File("grid.stl"), dir.File("cut.stl"));
    fs::resize_file(dir.File("cut.stl"), 84 + 50 * 1000 + 7);

    struct Case {
        std::string path;
        const char* declined;  // why the fast reader leaves it to the library, or null
    };
    const Case cases[] = {
        {std::string(ZEMVORA_TESTDATA_DIR) + "/models/stl/Spider_binary.stl", nullptr},
        {dir.File("grid.stl"), nullptr},
        {dir.File("zeros.stl"), nullptr},
        {dir.File("near.stl"), nullptr},
        {dir.File("colours.stl"), "its facets have colours"},
        {dir.File("materialise.stl"), "its header gives a colour"},
        {dir.File("nan.stl"), "a coordinate is not a number"},
        {dir.File("empty.stl"), "it holds no facets"},
        {dir.File("cut.stl"), "its size is not that of the facets it counts"},
        {dir.File("gone.stl"), "it could not be read"},
    };
    for (const Case& c : cases)
        ExpectTheLibrarysScene(c.path, c.declined, ReadStl);
    Scene cut;
    cut.ClearScene();
    std::vector<std::string> report;
    std::string why;
    ASSERT_TRUE(ReadStl(dir.File("grid.stl"), cut, report, why));
    EXPECT_GE(cut.m_objects.size(), 2u);  // cut at 65,535 vertices
}

// A binary STL is announced first, with the bounds and material its scene ends with, and each
// object goes on, in order and with its final name, while the file is still being read.
TEST(FastReaders, ABinaryStlIsAnnouncedAndSendsItsObjectsWhileItIsRead) {
    TempDir dir;
    // 500 x 400 squares: 400,000 facets, cut into objects of 65,535 vertices.
    WriteStl(dir.File("grid.stl"), 400000, [](uint32_t i) { return GridFacet(i, 500); });
    std::vector<std::vector<uint8_t>> announced;
    struct Told {
        size_t index;
        std::string name;
        double read;  // the share of the file read by then
    };
    std::vector<Told> told;
    double read = 0;
    SetReadProgress([&read](double share) { read = share; });
    SetSceneAnnouncer([&](const Scene& scene) {
        EXPECT_TRUE(told.empty());
        announced.push_back(SceneBytes(SceneWithoutObjects(scene)));
    });
    SetFinishedObjectSink([&](Scene& scene, size_t index) {
        told.push_back(Told{index, scene.m_objects[index].name, read});
    });
    Scene scene;
    std::vector<std::string> report;
    std::string why;
    const bool ok = ReadStl(dir.File("grid.stl"), scene, report, why);
    SetReadProgress(nullptr);
    SetSceneAnnouncer(nullptr);
    SetFinishedObjectSink(nullptr);
    ASSERT_TRUE(ok) << why;
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0], SceneBytes(SceneWithoutObjects(scene)));
    ASSERT_EQ(told.size(), scene.m_objects.size());
    ASSERT_GE(told.size(), 4u);
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].index, i);
        EXPECT_EQ(told[i].name, scene.m_objects[i].name);
    }
    EXPECT_LT(told[0].read, 1.0);
}

TEST(FastReaders, EveryTextStlGivesTheLibrarysSceneAndTheRestGoToTheLibrary) {
    TempDir dir;
    // A text facet as exporters write it.
    const auto facet = [](const Facet& f) {
        std::string text = "  facet normal";
        for (float n : f.normal)
            text += " " + std::to_string(n);
        text += "\n    outer loop\n";
        for (int k = 0; k < 3; ++k)
            text += "      vertex " + std::to_string(f.corners[3 * k]) + " " +
                    std::to_string(f.corners[3 * k + 1]) + " " +
                    std::to_string(f.corners[3 * k + 2]) + "\n";
        return text + "    endloop\n  endfacet\n";
    };
    std::string grid = "solid grid exported by hand\r\n";
    // Cutting into objects is the binary reader's test's; this grid is kept small, as the
    // library reads text slowly.
    for (uint32_t i = 0; i < 6000; ++i)
        grid += facet(GridFacet(i, 60));
    const std::string one = facet(GridFacet(0, 1));
    struct Case {
        const char* name;
        std::string text;
        const char* declined;
    };
    const Case cases[] = {
        {"grid", grid + "endsolid grid\n", nullptr},
        // No name, no endsolid, words on one line, numbers with exponents.
        {"bare",
         "solid\nfacet normal 0 0 1e0 outer loop vertex 0 0 0 vertex 1e-1 0 0 vertex 0 "
         "1.5E+2 -0 endloop endfacet",
         nullptr},
        {"trailing", "solid t\n" + one + "endsolid t\nwritten by a tool\n", nullptr},
        {"two", "solid a\n" + one + "endsolid a\nsolid b\n" + one + "endsolid b\n",
         "it holds more than one solid"},
        {"four", "solid f\n" + one.substr(0, one.size() - 23) + "vertex 1 1 1\nendloop\n",
         "a facet has other than three vertices"},
        {"two corners", "solid f\nfacet normal 0 0 1\nvertex 0 0 0\nvertex 1 0 0\nendsolid",
         "a facet has other than three vertices"},
        {"plus", "solid p\nfacet normal 0 0 +1\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n",
         "a facet's normal is not written as it may be"},
        {"split", "solid s\nfacet normal 0 0 1\nvertex\n0 0 0\n", "a vertex is not on its line"},
        {"nan", "solid n\nfacet normal 0 0 1\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 nan\n",
         "a vertex is not written as it may be"},
        {"empty", "solid e\nendsolid e\n", "it holds no facets"},
        {"zero", std::string("solid z\n") + '\0' + one, "it holds a zero byte"},
        {"other", "made by hand\n" + one, "its size is not that of the facets it counts"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".stl");
        std::ofstream(path, std::ios::binary) << c.text;
        // Numbers are read by another parser than the library's, whose last bit may differ.
        ExpectTheLibrarysScene(path, c.declined, ReadStl, 1e-6);
    }
}

// Turning a file's up to +Z moves coordinates: one that is not a number stays in its own place,
// so the others stay numbers; a zero comes out positive, as from the library's product.
TEST(FastReaders, TheTurnToZMovesCoordinatesWithoutMixingThem) {
    const float inf = INFINITY;
    const aiMatrix4x4 identity;
    const aiMatrix4x4 shifted(1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1);
    const struct {
        const aiMatrix4x4& chain;
        UpAxis up;
        aiVector3D in, out;
    } cases[] = {
        {identity, UpAxis::PlusY, {1, 2, inf}, {1, -inf, 2}},
        {identity, UpAxis::MinusY, {inf, 2, 3}, {inf, 3, -2}},
        {identity, UpAxis::PlusX, {1, inf, 3}, {-3, inf, 1}},
        {identity, UpAxis::MinusX, {1, 2, 3}, {3, 2, -1}},
        {identity, UpAxis::MinusZ, {1, 2, 3}, {1, -2, -3}},
        {identity, UpAxis::PlusZ, {-0.0f, 2, 3}, {0, 2, 3}},
        {identity, UpAxis::PlusY, {1, 2, 0}, {1, 0, 2}},
        {shifted, UpAxis::PlusY, {1, 2, 3}, {11, -33, 22}},
    };
    for (const auto& c : cases) {
        const aiVector3D p = PlacedPoint(c.chain, c.up, c.in);
        SCOPED_TRACE(testing::Message() << c.in.x << " " << c.in.y << " " << c.in.z);
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
        EXPECT_EQ(p.z, c.out.z);
        for (float v : {p.x, p.y, p.z})
            EXPECT_FALSE(std::signbit(v) && v == 0);
    }
}

// The readers take a vertex's bucket as the library's map does, by the standard library's hash of
// each coordinate, computed inline for speed: any other value would join other vertices.
TEST(FastReaders, TheInlineHashOfACoordinateIsTheStandardLibrarys) {
    const float values[] = {0.0f,   -0.0f,    1.0f,     -1.0f,          0.05f / 17,
                            1e-38f, 3.4e38f,  INFINITY, std::nanf(""),  12345.678f,
                            -7e-5f, 1.0f / 3, 1e-45f,   -0.0029411765f, 1001.0f};
    for (const float value : values)
        EXPECT_EQ(LibraryFloatHash(value), std::hash<float>()(value)) << value;
}

// Batches are joined in their order while the next is made ready; a batch that cannot be made
// stops the joining after the batches before it, and what making one throws comes out.
TEST(FastReaders, BatchesMadeReadyAheadAreJoinedInOrderAndStopWhereOneFails) {
    const struct {
        size_t batches;
        size_t failing;  // the batch whose making fails, or none
        bool throws;
        std::vector<int> joined;
        bool whole;
    } cases[] = {
        {0, SIZE_MAX, false, {}, true},
        {1, SIZE_MAX, false, {0, 1}, true},
        {4, SIZE_MAX, false, {0, 1, 10, 11, 20, 21, 30, 31}, true},
        {4, 0, false, {}, false},
        {4, 2, false, {0, 1, 10, 11}, false},
        {4, 3, true, {0, 1, 10, 11, 20, 21}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.batches << " batches, failing " << c.failing);
        std::vector<int> joined;
        const auto prepare = [&c](size_t batch, std::vector<int>& items) {
            if (batch == c.failing && c.throws) throw std::runtime_error("damaged");
            items = {static_cast<int>(batch) * 10, static_cast<int>(batch) * 10 + 1};
            return batch != c.failing;
        };
        const auto join = [&joined](const std::vector<int>& items) {
            joined.insert(joined.end(), items.begin(), items.end());
        };
        bool whole = false;
        try {
            whole = JoinPreparedAhead<int>(c.batches, prepare, join);
        } catch (const std::runtime_error&) {
            EXPECT_TRUE(c.throws);
        }
        EXPECT_EQ(whole, c.whole);
        EXPECT_EQ(joined, c.joined);
    }
}

// A process at its memory limit can start no thread: the batches are then joined one after the
// other, all of them and in order.
TEST(FastReaders, BatchesAreJoinedWithoutASecondThreadWhereNoneCanStart) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Room for a little more memory, not for a thread's stack.
        std::ifstream status("/proc/self/statm");
        size_t pages = 0;
        status >> pages;
        const rlimit limit{pages * 4096 + (1 << 20), RLIM_INFINITY};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
        std::vector<int> joined;
        const bool whole = JoinPreparedAhead<int>(
            3,
            [](size_t batch, std::vector<int>& items) {
                items.assign(1, static_cast<int>(batch));
                return true;
            },
            [&joined](const std::vector<int>& items) {
                joined.insert(joined.end(), items.begin(), items.end());
            });
        _exit(whole && joined == std::vector<int>{0, 1, 2} ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
