#include "formats/PictureFormats.h"

#include <algorithm>
#include <cctype>

const std::vector<PictureFormat>& PictureFormatTable() {
    static const std::vector<PictureFormat> table = {
        {"PNG picture", "PNG", {".png"}},
        {"JPEG picture", "JPEG", {".jpg", ".jpeg"}},
    };
    return table;
}

const PictureFormat* PictureFormatOf(const std::string& path) {
    // The extension of a file name that has something before it.
    const size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.' || dot == 0 || path[dot - 1] == '/')
        return nullptr;
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const PictureFormat& format : PictureFormatTable())
        if (std::find(format.extensions.begin(), format.extensions.end(), extension) !=
            format.extensions.end())
            return &format;
    return nullptr;
}

std::vector<std::pair<std::string, std::string>> PictureDialogFilters() {
    std::vector<std::pair<std::string, std::string>> filters;
    for (const PictureFormat& format : PictureFormatTable()) {
        std::string patterns;
        for (const std::string& extension : format.extensions)
            patterns += (patterns.empty() ? "*" : " *") + extension;
        filters.emplace_back(format.name + " (" + patterns + ")", "*" + format.extensions[0]);
    }
    return filters;
}
