#include "formats/ExportFormats.h"

#include <algorithm>
#include <cctype>

const std::vector<ExportFormat>& ExportFormatTable() {
    static const std::vector<ExportFormat> table = {
        {"glTF 2.0 binary", ".glb", "glb2", true, true, true, true, true},
        {"glTF 2.0", ".gltf", "gltf2", true, true, true, true, false},
        {"Wavefront OBJ", ".obj", "obj", true, true, false, false, false},
        {"STL", ".stl", "stlb", false, false, false, false, false},
        {"Stanford PLY", ".ply", "plyb", false, false, false, false, false},
        {"COLLADA", ".dae", "collada", true, true, true, true, false},
        {"3D Manufacturing Format", ".3mf", "3mf", false, true, false, false, false, true},
        {"3D Studio", ".3ds", "3ds", false, true, true, true, false, true},
    };
    return table;
}

const ExportFormat* ExportFormatOf(const std::string& path) {
    const size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return nullptr;
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const ExportFormat& format : ExportFormatTable())
        if (format.extension == extension) return &format;
    return nullptr;
}

std::vector<std::pair<std::string, std::string>> ExportDialogFilters() {
    std::vector<std::pair<std::string, std::string>> filters;
    for (const ExportFormat& format : ExportFormatTable())
        filters.emplace_back(format.name + " (*" + format.extension + ")", "*" + format.extension);
    return filters;
}
