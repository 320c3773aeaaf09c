// The format table: which format a file is read as, by its extension or, where they show another,
// by its first bytes; the import dialog's filters; and the packaging files and the README's list
// of formats in step with the table.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "formats/FileFormats.h"
#include "tests/TestFiles.h"

using namespace testfiles;

namespace {

std::string Text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string Model(const std::string& name) {
    return std::string(ZEMVORA_TESTDATA_DIR) + "/models/" + name;
}

// The items of a list "a;b;c;" after key= in a desktop file.
std::vector<std::string> DesktopList(const std::string& path, const std::string& key) {
    std::vector<std::string> items;
    std::istringstream lines(Text(path));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) != 0) continue;
        std::istringstream list(line.substr(key.size() + 1));
        for (std::string item; std::getline(list, item, ';');)
            items.push_back(item);
    }
    return items;
}

}  // namespace

TEST(FileFormats, AFileIsReadByItsFirstBytesWhereTheyShowAnotherFormatThanItsName) {
    TempDir dir;
    struct Case {
        const char* source;  // a test file, or text written as the file
        const char* name;    // the name it is read under
        const char* format;  // "" for none
    };
    const std::string cube3ds = std::string(ZEMVORA_TESTDATA_DIR) + "/3ds/qt3d/basic-cube.3ds";
    const Case cases[] = {
        {"3ds", "cube.3ds", "3D Studio"},
        {"3ds", "cube.obj", "3D Studio"},
        {"3ds", "cube", "3D Studio"},
        {"ply/cube_uv.ply", "cube.stl", "Stanford PLY"},
        {"gltf/BoxTexturedBinary.glb", "box.bin", "glTF"},
        {"collada/duck.dae", "duck.xml", "COLLADA"},
        {"fbx/phong_cube.fbx", "cube.dat", "Autodesk FBX"},
        {"stl/Spider_binary.stl", "spider", "STL"},
        {"text:solid cube\n facet normal 0 0 1\n", "cube.txt", "STL"},
        {"text:\x04ZMVF", "scene.3ds", "Zemvora scene"},
        {"obj/cube_usemtl.obj", "cube.OBJ", "Wavefront OBJ"},
        {"gltf/BoxTextured.gltf", "box.gltf", "glTF"},
        {"text:v 0 0 0\n", "x.Mesh.XML", "Other formats of the Open Asset Import Library"},
        {"text:MM too short to tell", "short.3ds", "3D Studio"},  // by name
        {"text:some notes\n", "notes.txt", ""},
        {"text:", "empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " as " + c.name);
        const std::string path = dir.File(c.name);
        const std::string source = c.source;
        if (source.rfind("text:", 0) == 0) {
            std::ofstream(path, std::ios::binary) << source.substr(5);
        } else {
            fs::copy_file(source == "3ds" ? cube3ds : Model(source), path,
                          fs::copy_options::overwrite_existing);
        }
        const FileFormat* format = FormatOfFile(path);
        EXPECT_EQ(format ? format->name : "", c.format);
    }
    // A name alone, for files that are not there: the longest extension that fits.
    EXPECT_EQ(FormatByName("/a/B.OBJ")->name, "Wavefront OBJ");
    EXPECT_EQ(FormatByName("x.mesh.xml")->extensions.size(), 54u);
    EXPECT_EQ(FormatByName("obj"), nullptr);
    EXPECT_EQ(ReaderOfFile(dir.File("gone.3DS")), FormatReader::Studio3ds);
    EXPECT_EQ(ReaderOfFile(dir.File("gone.zmv")), FormatReader::SceneFile);
    EXPECT_EQ(ReaderOfFile(dir.File("gone")), FormatReader::SceneFile);
}

TEST(FileFormats, TheDialogThePackagingAndTheReadmeFollowTheTable) {
    const auto filters = ImportDialogFilters();
    ASSERT_EQ(filters.size(), 15u);
    EXPECT_EQ(filters[0].first.rfind("All 3D models (*.3ds *.3d *.3mf *.ac *.ac3d", 0), 0u);
    EXPECT_EQ(filters[1], (std::pair<std::string, std::string>{"3D Studio (*.3ds)", "*.3ds"}));
    EXPECT_EQ(filters[5],
              (std::pair<std::string, std::string>{"glTF (*.gltf *.glb)", "*.gltf *.glb"}));
    EXPECT_EQ(filters.back().second, "*.*");

    const std::string packaging = std::string(ZEMVORA_SOURCE_DIR) + "/packaging/";
    const std::vector<std::string> types = TableMimeTypes();
    EXPECT_EQ(DesktopList(packaging + "io.github.zemvora.Creator.desktop", "MimeType"), types);
    EXPECT_EQ(DesktopList(packaging + "zemvora.thumbnailer", "MimeType"), types);
    const std::string metainfo = Text(packaging + "io.github.zemvora.Creator.metainfo.xml");
    std::vector<std::string> provided;
    const std::regex mediatype("<mediatype>([^<]+)</mediatype>");
    for (auto m = std::sregex_iterator(metainfo.begin(), metainfo.end(), mediatype);
         m != std::sregex_iterator(); ++m)
        provided.push_back((*m)[1]);
    EXPECT_EQ(provided, types);

    // The README's table: a row for each format, with its extensions, MIME types and reader.
    std::vector<std::string> rows;
    std::istringstream readme(Text(std::string(ZEMVORA_SOURCE_DIR) + "/README.md"));
    bool inTable = false;
    for (std::string line; std::getline(readme, line);) {
        if (line == "| format | extensions | MIME types | read by |")
            inTable = true;
        else if (inTable && line.rfind("| ", 0) == 0)
            rows.push_back(line);
        else if (inTable && line.rfind("|---", 0) != 0)
            break;
    }
    std::vector<std::string> expected;
    for (const FileFormat& format : FileFormatTable()) {
        const auto quoted = [](const std::vector<std::string>& items) {
            std::string text;
            for (const std::string& item : items)
                text += (text.empty() ? "`" : ", `") + item + "`";
            return text.empty() ? std::string("none") : text;
        };
        const char* reader = format.reader == FormatReader::SceneFile   ? "opened"
                             : format.reader == FormatReader::Studio3ds ? "the program's own reader"
                                                                        : "the import child";
        expected.push_back("| " + format.name + " | " + quoted(format.extensions) + " | " +
                           quoted(format.mimeTypes) + " | " + reader + " |");
    }
    EXPECT_EQ(rows, expected);
}
