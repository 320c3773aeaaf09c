// The program's own readers of the bulk formats give the scene the Open Asset Import Library's
// reading gives, byte for byte in the dump, and hand every file they do not take to the library
// with the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>

#include "FastStl.h"
#include "ImportChild.h"
#include "cli/SceneDump.h"
#include "tests/TestFiles.h"

using namespace testfiles;

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

}  // namespace

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
    std::ofstream(dir.File("text.stl"))
        << "solid tri\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
           "endloop\nendfacet\nendsolid tri\n";
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
        {dir.File("colours.stl"), "its facets have colours"},
        {dir.File("materialise.stl"), "its header gives a colour"},
        {dir.File("nan.stl"), "a coordinate is not a number"},
        {dir.File("empty.stl"), "it holds no facets"},
        {dir.File("text.stl"), "it is a text STL"},
        {dir.File("cut.stl"), "its size is not that of the facets it counts"},
        {dir.File("gone.stl"), "it could not be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Scene fast, library;
        fast.ClearScene();
        library.ClearScene();
        std::vector<std::string> fastReport, libraryReport;
        std::string why;
        const bool taken = ReadBinaryStl(c.path, fast, fastReport, why);
        EXPECT_EQ(taken, c.declined == nullptr);
        if (!taken) {
            EXPECT_EQ(why, c.declined);
            EXPECT_TRUE(fast.m_objects.empty() && fast.m_materials.empty());
            continue;
        }
        ASSERT_EQ(ReadWithLibrary(c.path, library, libraryReport), ChildStatus::Scene);
        EXPECT_EQ(fastReport, libraryReport);
        EXPECT_EQ(DumpSceneJson(fast), DumpSceneJson(library));
        if (c.path == dir.File("grid.stl")) {
            EXPECT_GE(fast.m_objects.size(), 2u);  // cut at 65,535 vertices
        }
    }
}
