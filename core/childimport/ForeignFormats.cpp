#include "childimport/ForeignFormats.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The common formats, each with its own filter.
struct CommonFormat {
    const char* name;
    const char* patterns;
};
constexpr CommonFormat kCommonFormats[] = {
    {"Wavefront OBJ (*.obj)", "*.obj"},
    {"STL (*.stl)", "*.stl"},
    {"Stanford PLY (*.ply)", "*.ply"},
    {"glTF (*.gltf *.glb)", "*.gltf *.glb"},
    {"COLLADA (*.dae)", "*.dae"},
    {"Autodesk FBX (*.fbx)", "*.fbx"},
    {"Object File Format (*.off)", "*.off"},
    {"3D Manufacturing Format (*.3mf)", "*.3mf"},
    {"Blender (*.blend)", "*.blend"},
    {"DirectX (*.x)", "*.x"},
    {"LightWave (*.lwo *.lws)", "*.lwo *.lws"},
    {"X3D (*.x3d *.x3db)", "*.x3d *.x3db"},
};

}  // namespace

const std::vector<std::string>& ForeignExtensions() {
    // What the library's Importer::GetExtensionList gives in version 5.2, without ".3ds".
    static const std::vector<std::string> extensions = {
        ".3d",      ".3mf",       ".ac",      ".ac3d", ".acc",  ".amf",  ".ase",      ".ask",
        ".assbin",  ".b3d",       ".blend",   ".bsp",  ".bvh",  ".cob",  ".csm",      ".dae",
        ".dxf",     ".enff",      ".fbx",     ".glb",  ".gltf", ".hmp",  ".ifc",      ".ifczip",
        ".iqm",     ".irr",       ".irrmesh", ".lwo",  ".lws",  ".lxo",  ".md2",      ".md3",
        ".md5anim", ".md5camera", ".md5mesh", ".mdc",  ".mdl",  ".mesh", ".mesh.xml", ".mot",
        ".ms3d",    ".ndo",       ".nff",     ".obj",  ".off",  ".ogex", ".pk3",      ".ply",
        ".pmx",     ".prj",       ".q3o",     ".q3s",  ".raw",  ".scn",  ".sib",      ".smd",
        ".step",    ".stl",       ".stp",     ".ter",  ".uc",   ".vta",  ".x",        ".x3d",
        ".x3db",    ".xgl",       ".xml",     ".zae",  ".zgl"};
    return extensions;
}

bool IsForeignFileName(const std::string& path) {
    const std::string lower = Lower(path);
    const size_t slash = lower.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? lower : lower.substr(slash + 1);
    const std::vector<std::string>& extensions = ForeignExtensions();
    return std::any_of(extensions.begin(), extensions.end(),
                       [&name](const std::string& ext) { return EndsWith(name, ext); });
}

bool IsImportedFileName(const std::string& path) {
    return EndsWith(Lower(path), ".3ds") || IsForeignFileName(path);
}

std::vector<std::pair<std::string, std::string>> ImportDialogFilters() {
    std::string all = "*.3ds";
    for (const std::string& ext : ForeignExtensions())
        all += " *" + ext;
    std::vector<std::pair<std::string, std::string>> filters = {
        {"All 3D models (" + all + ")", all}, {"3D Studio (*.3ds)", "*.3ds"}};
    for (const CommonFormat& format : kCommonFormats)
        filters.emplace_back(format.name, format.patterns);
    filters.emplace_back("All Files (*.*)", "*.*");
    return filters;
}
