// The one table of the file formats the program reads: each format's name, extensions, MIME
// types and the reader that takes it. The command line, --check, File > Import, the recent files
// and files dropped on the window decide by it how a file is read; the import dialog's filters,
// the desktop entry's and thumbnailer's MIME lists and the README's table of formats follow it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Which reader takes a file.
enum class FormatReader {
    SceneFile,    // the program's own scene file, opened
    Studio3ds,    // a 3D Studio file, imported by the program's own reader
    ImportChild,  // any other model, imported in the child process
};

struct FileFormat {
    std::string name;                     // "Wavefront OBJ"
    std::vector<std::string> extensions;  // lower case with their dot: ".obj"
    std::vector<std::string> mimeTypes;   // those the desktop entry offers the program for
    FormatReader reader = FormatReader::ImportChild;
    bool ownFilter = false;  // a filter of its own in the import dialog
};

// Every format, the program's own first, then 3D Studio, the common formats in the order of the
// import dialog's filters, and last the rest of what the Open Asset Import Library reads.
const std::vector<FileFormat>& FileFormatTable();

// The format a path's extension names (in any case; the longest extension that fits, so that
// "x.mesh.xml" is not taken for ".xml"), or null.
const FileFormat* FormatByName(const std::string& path);

// The format the first bytes of a file show, where the format has a signature: the scene file's
// name, the 3D Studio main chunk, "ply", a binary STL's size or "solid", the binary glTF
// header, an XML file that names COLLADA, the binary FBX header. Null when they show none.
const FileFormat* FormatBySignature(const unsigned char* head, size_t size, uint64_t fileSize);

// How many first bytes FormatBySignature looks at.
constexpr size_t kSignatureBytes = 1024;

// The format path is read as: the one its first bytes show, when they show one and it is not the
// one its extension names; otherwise the extension's. Null when neither names one.
const FileFormat* FormatOfFile(const std::string& path);

// The reader that takes path: its format's, and for a file of no known format the scene file's,
// whose reader says what is wrong with it.
FormatReader ReaderOfFile(const std::string& path);

// The filters of the import dialog: all models, 3D Studio, one per common format, all files.
std::vector<std::pair<std::string, std::string>> ImportDialogFilters();

// Every MIME type in the table, in its order, each once.
std::vector<std::string> TableMimeTypes();
