// The one table of the formats a scene is exported to: each one's name, extension, the Open Asset
// Import Library exporter that writes it, which way is up and what of a scene it can hold. The
// export dialog's filters, `--convert`'s choice of format and what an export reports as left out
// follow it.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ExportFormat {
    std::string name;        // "glTF 2.0 binary"
    std::string extension;   // lower case with its dot: ".glb"
    std::string exporterId;  // the library's: "glb2"
    bool upIsY = false;      // the format's up is +Y: the scene's +Z is turned to it
    bool materials = false;  // it keeps materials and their texture maps
    bool lights = false;
    bool cameras = false;
    bool embedsImages = false;  // texture images go inside the file rather than beside it
    // Written by the program's own writer rather than the library's: the library's 3D Studio
    // files the program's own reader does not read, and its 3MF files lose their colours.
    bool ownWriter = false;
};

// In the order of the export dialog's filters.
const std::vector<ExportFormat>& ExportFormatTable();

// The format path's extension names (in any case), or null: a scene file or an extension no
// exporter writes.
const ExportFormat* ExportFormatOf(const std::string& path);

// The export dialog's filters: one per format.
std::vector<std::pair<std::string, std::string>> ExportDialogFilters();
