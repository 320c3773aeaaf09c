// The program's own OBJ reader gives the scene the Open Asset Import Library's reading gives, and
// hands every file it does not read exactly as the library does to the library with the reason.
#include <gtest/gtest.h>

#include <fstream>

#include "FastObj.h"
#include "tests/FastReaderCompare.h"
#include "tests/TestFiles.h"

using namespace testfiles;
using fastreaders::ExpectTheLibrarysScene;

namespace {

// Numbers are read by another parser than the library's, whose last bit may differ.
constexpr double kRelative = 1e-6;

// A folded sheet of columns x rows squares as quads, each corner written as form writes it
// (%v, %t and %n for the indices of its position, texture coordinate and normal; negative when
// back is set), one square's corner pushed in so that it is concave.
std::string Sheet(int columns, int rows, const std::string& form, bool back = false) {
    std::string text;
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            const double x = c == 1 && r == 1 ? 1.7 : c, y = c == 1 && r == 1 ? 1.7 : r;
            text += "v " + std::to_string(x) + " " + std::to_string(y) + " " +
                    std::to_string(c < columns / 2 ? c * 0.5 : (columns - c) * 0.5) + "\n";
            text += "vt " + std::to_string(c * 0.25) + " " + std::to_string(r * 0.5) + "\n";
        }
    text += "vn -0.447213595 0 0.894427191\nvn 0.447213595 0 0.894427191\n";
    const int count = (columns + 1) * (rows + 1);
    const auto corner = [&](int c, int r) {
        const int v = r * (columns + 1) + c + 1, n = c < columns / 2 ? 1 : 2;
        std::string out = form;
        const auto put = [&](const std::string& key, int index, int total) {
            const size_t at = out.find(key);
            if (at != std::string::npos)
                out.replace(at, 2, std::to_string(back ? index - total - 1 : index));
        };
        put("%v", v, count);
        put("%t", v, count);
        put("%n", n, 2);
        return out;
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            text += "f " + corner(c, r) + " " + corner(c + 1, r) + " " + corner(c + 1, r + 1) +
                    " " + corner(c, r + 1) + "\n";
    return text;
}

}  // namespace

TEST(FastObj, EveryTestModelGivesTheLibrarysScene) {
    for (const char* name : {"spider.obj", "cube_usemtl.obj"})
        ExpectTheLibrarysScene(std::string(ZEMVORA_TESTDATA_DIR) + "/models/obj/" + name, nullptr,
                               ReadObj, kRelative);
}

TEST(FastObj, FilesOfEveryShapeGiveTheLibrarysScene) {
    TempDir dir;
    std::ofstream(dir.File("looks.mtl"))
        << "newmtl red\nKd 1 0 0\nKa 0.2 0 0\nKs 0.5 0.5 0.5\nNs 64\nd 0.5\n"
           "newmtl glass\n\tKd 0.8 0.9 1\n\tTr 0.7\n\tmap_Kd -clamp on glass.png\n"
           "newmtl last\nKd 0 0 1\n";
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 -0\nv 0 0 -1\n";
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"positions", Sheet(6, 4, "%v")},
        {"uvs", Sheet(6, 4, "%v/%t")},
        {"normals", Sheet(6, 4, "%v//%n")},
        {"all", Sheet(6, 4, "%v/%t/%n", true)},
        // With normals but no texture coordinates so far, a second index is the normal's.
        {"second", "vn 0 0 1\n" + tri + "f 1/1 2/1 3/1\nvt 0.5 0.5 0.5\nf 2/1 4/1 3/1\n"},
        // A normal or texture coordinate that is not there drops them from its mesh.
        {"beyond", tri + "vn 0 0 1\nvt 0 0\nf 1/1/1 2/1/1 3/1/1\nf 2/1/1 4/2/2 3/1/1\n"},
        // Objects, groups, materials before and after faces, a material no library names, a
        // name taken twice, smoothing groups, comments, Windows line ends, indented lines.
        {"structure",
         "# made by hand\r\nmtllib looks.mtl\r\n" + tri +
             "f 1 2 3\r\nusemtl red\r\nf 2 4 3\r\ns 1\r\no second\r\nf 1 2 5\r\n"
             "usemtl glass\r\n  f 1 4 5\r\nf 1 5 4\r\ng parts wheel\r\nusemtl unknown\r\n"
             "f -5 -4 -3\r\no second\r\nusemtl red\r\nf 3 4 5\r\ng parts wheel\r\n"
             "f 2 3 5\r\ng\r\nf 1 3 5\r\nusemtl\r\nf 1 2 4\r\n"},
        {"no library", "mtllib gone.mtl\nusemtl red\n" + tri + "f 1 2 3 4\n"},
        {"strip",
         [] {
             std::string strip = "o Strip\n";
             for (int i = 0; i < 3000; ++i)
                 strip += "v " + std::to_string(i) + " 0 0\nv " + std::to_string(i) + " 1 0\n";
             for (int i = 0; i < 2999; ++i)
                 strip += "f " + std::to_string(2 * i + 1) + "/" + std::to_string(i % 7 + 1) + " " +
                          std::to_string(2 * i + 3) + "/1 " + std::to_string(2 * i + 4) + "/2 " +
                          std::to_string(2 * i + 2) + "/3\n";
             return strip + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0.5 0.5\nvt 0 1\nvt 1 0.5\nvt 0 0.5\n";
         }()},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".obj");
        std::ofstream(path) << c.text;
        ExpectTheLibrarysScene(path, nullptr, ReadObj, kRelative);
    }
}

TEST(FastObj, WhatTheLibraryReadsOtherwiseGoesToIt) {
    TempDir dir;
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 2 2 0\n";
    struct Case {
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {tri + "f 1 2 3\nl 1 2\n", "it has lines or points"},
        {tri + "p 1\nf 1 2 3\n", "it has lines or points"},
        {tri + "cstype bspline\nf 1 2 3\n", "it has curves or surfaces"},
        {tri + "f 1 2 3 4 5\n", "a face has more than four corners"},
        {tri + "f 1 2\n", "a face has fewer than three corners"},
        {tri + "f +1 2 3\n", "a face's corner is not written as it may be"},
        {tri + "f 01 2 3\n", "a face's corner is not written as it may be"},
        {tri + "f 0 1 2\n", "a face's corner is not written as it may be"},
        {tri + "f 1 2 31111111111111111111111111\n", "a face's corner is not written as it may be"},
        {tri + "f 1 2 3 # a note\n", "a face's corner is not written as it may be"},
        {tri + "vt 0 0\nf 1/1 2 3/1\n", "a face's corners differ in what they have"},
        {tri + "f 1/1/1/1 2 3\n", "a face's corner has more than three indices"},
        {tri + "f 1 2 \\\n3\n", "a line goes on in the next"},
        {tri + "fo 1 2 3\n", "a line begins with f but is no face"},
        {tri + "f 1 2 6\n", "a face names a vertex that is not there"},
        {tri + "f -6 2 3\n", "a face names a vertex that is not there"},
        {"v 0 0 0 1\n" + tri + "f 1 2 3\n", "a vertex is not three numbers"},
        {"v 0 0 0 1 0 0\n" + tri + "f 1 2 3\n", "a vertex is not three numbers"},
        {"v .5 0 0\n" + tri + "f 1 2 3\n", "a vertex is not three numbers"},
        {"v nan 0 0\n" + tri + "f 1 2 3\n", "a vertex is not three numbers"},
        {"v -inf 0 0\n" + tri + "f 1 2 3\n", "a coordinate is not a number"},
        {"vn 0 1\n" + tri + "f 1 2 3\n", "a normal is not three numbers"},
        {"vt 0\n" + tri + "f 1 2 3\n", "a texture coordinate is not two or three numbers"},
        {tri, "it holds no faces"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = dir.File("case" + std::to_string(++n) + ".obj");
        std::ofstream(path) << c.text;
        ExpectTheLibrarysScene(path, c.why, ReadObj);
    }
    ExpectTheLibrarysScene(dir.File("gone.obj"), "it could not be read", ReadObj);
}
