#include "formats/FileFormats.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The rest of what the Open Asset Import Library's Importer::GetExtensionList gives in version
// 5.2: the formats without a filter of their own.
const std::vector<std::string> kOtherLibraryExtensions = {
    ".3d",   ".ac",  ".ac3d",    ".acc",      ".amf", ".ase",  ".ask",     ".assbin",    ".b3d",
    ".bsp",  ".bvh", ".cob",     ".csm",      ".dxf", ".enff", ".hmp",     ".ifc",       ".ifczip",
    ".iqm",  ".irr", ".irrmesh", ".lxo",      ".md2", ".md3",  ".md5anim", ".md5camera", ".md5mesh",
    ".mdc",  ".mdl", ".mesh",    ".mesh.xml", ".mot", ".ms3d", ".ndo",     ".nff",       ".ogex",
    ".pk3",  ".pmx", ".prj",     ".q3o",      ".q3s", ".raw",  ".scn",     ".sib",       ".smd",
    ".step", ".stp", ".ter",     ".uc",       ".vta", ".xgl",  ".xml",     ".zae",       ".zgl"};

const FileFormat& Named(const char* name) {
    for (const FileFormat& format : FileFormatTable())
        if (format.name == name) return format;
    return FileFormatTable().front();  // not reached: every name below is in the table
}

uint32_t U32At(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool StartsWith(const unsigned char* head, size_t size, const char* text) {
    const size_t n = std::strlen(text);
    return size >= n && std::memcmp(head, text, n) == 0;
}

bool Contains(const unsigned char* head, size_t size, const char* text) {
    const std::string_view all(reinterpret_cast<const char*>(head), size);
    return all.find(text) != std::string_view::npos;
}

// The head past a UTF-8 byte order mark and white space.
size_t TextStart(const unsigned char* head, size_t size) {
    size_t at = StartsWith(head, size, "\xEF\xBB\xBF") ? 3 : 0;
    while (at < size && std::isspace(head[at]))
        ++at;
    return at;
}

}  // namespace

const std::vector<FileFormat>& FileFormatTable() {
    using R = FormatReader;
    static const std::vector<FileFormat> table = {
        {"Zemvora scene", {".zmv"}, {"application/x-zemvora"}, R::SceneFile, false},
        {"3D Studio", {".3ds"}, {"image/x-3ds"}, R::Studio3ds, true},
        {"Wavefront OBJ", {".obj"}, {"model/obj"}, R::ImportChild, true},
        {"STL", {".stl"}, {"model/stl"}, R::ImportChild, true},
        {"Stanford PLY", {".ply"}, {"application/x-ply"}, R::ImportChild, true},
        {"glTF", {".gltf", ".glb"}, {"model/gltf+json", "model/gltf-binary"}, R::ImportChild, true},
        {"COLLADA", {".dae"}, {"model/vnd.collada+xml"}, R::ImportChild, true},
        {"Autodesk FBX", {".fbx"}, {}, R::ImportChild, true},
        {"Object File Format", {".off"}, {}, R::ImportChild, true},
        {"3D Manufacturing Format", {".3mf"}, {"model/3mf"}, R::ImportChild, true},
        {"Blender", {".blend"}, {}, R::ImportChild, true},
        {"DirectX", {".x"}, {}, R::ImportChild, true},
        {"LightWave", {".lwo", ".lws"}, {"image/x-lwo"}, R::ImportChild, true},
        {"X3D", {".x3d", ".x3db"}, {}, R::ImportChild, true},
        {"Other formats of the Open Asset Import Library",
         kOtherLibraryExtensions,
         {},
         R::ImportChild,
         false},
    };
    return table;
}

const FileFormat* FormatByName(const std::string& path) {
    const std::string lower = Lower(path);
    const size_t slash = lower.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? lower : lower.substr(slash + 1);
    const FileFormat* found = nullptr;
    size_t longest = 0;
    for (const FileFormat& format : FileFormatTable())
        for (const std::string& ext : format.extensions)
            if (ext.size() > longest && EndsWith(name, ext)) {
                found = &format;
                longest = ext.size();
            }
    return found;
}

const FileFormat* FormatBySignature(const unsigned char* head, size_t size, uint64_t fileSize) {
    if (StartsWith(head, size, "\x04ZMVF")) return &Named("Zemvora scene");
    // The main chunk, as long as the file or shorter, and the first chunk inside it.
    if (size >= 8 && head[0] == 0x4D && head[1] == 0x4D) {
        const uint32_t length = U32At(head + 2);
        const unsigned inner = unsigned(head[6]) | unsigned(head[7]) << 8;
        if (length >= 6 && length <= fileSize &&
            (inner == 0x0002 || inner == 0x3D3D || inner == 0xB000))
            return &Named("3D Studio");
    }
    if (StartsWith(head, size, "ply\n") || StartsWith(head, size, "ply\r\n"))
        return &Named("Stanford PLY");
    if (size >= 8 && StartsWith(head, size, "glTF") && U32At(head + 4) == 2) return &Named("glTF");
    if (StartsWith(head, size, "Kaydara FBX Binary")) return &Named("Autodesk FBX");
    // A binary STL is its 80-byte header, a count and 50 bytes a triangle; its header may well
    // begin with "solid" as a text STL does.
    if (size >= 84 && fileSize == 84 + 50 * uint64_t(U32At(head + 80))) return &Named("STL");
    const size_t text = TextStart(head, size);
    if (StartsWith(head + text, size - text, "solid") &&
        (Contains(head, size, "facet") || Contains(head, size, "endsolid")))
        return &Named("STL");
    if ((StartsWith(head + text, size - text, "<?xml") ||
         StartsWith(head + text, size - text, "<COLLADA")) &&
        Contains(head, size, "<COLLADA"))
        return &Named("COLLADA");
    return nullptr;
}

const FileFormat* FormatOfFile(const std::string& path) {
    const FileFormat* byName = FormatByName(path);
    // Opened without waiting, so that a pipe without a writer cannot hold the program here; only
    // a regular file is looked into, and the reader says what is wrong with anything else.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return byName;
    struct stat info {};
    unsigned char head[kSignatureBytes];
    ssize_t size = 0;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        ssize_t got = 0;
        while (size < static_cast<ssize_t>(sizeof head) &&
               (got = read(fd, head + size, sizeof head - static_cast<size_t>(size))) > 0)
            size += got;
    }
    close(fd);
    if (size <= 0) return byName;
    const FileFormat* bySignature =
        FormatBySignature(head, static_cast<size_t>(size), static_cast<uint64_t>(info.st_size));
    return bySignature ? bySignature : byName;
}

FormatReader ReaderOfFile(const std::string& path) {
    const FileFormat* format = FormatOfFile(path);
    return format ? format->reader : FormatReader::SceneFile;
}

std::vector<std::pair<std::string, std::string>> ImportDialogFilters() {
    std::vector<std::string> imported;
    for (const FileFormat& format : FileFormatTable())
        if (format.reader == FormatReader::ImportChild)
            imported.insert(imported.end(), format.extensions.begin(), format.extensions.end());
    std::sort(imported.begin(), imported.end());
    std::string all = "*.3ds";
    for (const std::string& ext : imported)
        all += " *" + ext;
    std::vector<std::pair<std::string, std::string>> filters = {
        {"All 3D models (" + all + ")", all}};
    for (const FileFormat& format : FileFormatTable()) {
        if (!format.ownFilter) continue;
        std::string patterns;
        for (const std::string& ext : format.extensions)
            patterns += (patterns.empty() ? "*" : " *") + ext;
        filters.emplace_back(format.name + " (" + patterns + ")", patterns);
    }
    filters.emplace_back("All Files (*.*)", "*.*");
    return filters;
}

std::vector<std::string> TableMimeTypes() {
    std::vector<std::string> types;
    for (const FileFormat& format : FileFormatTable())
        for (const std::string& type : format.mimeTypes)
            if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
    return types;
}
