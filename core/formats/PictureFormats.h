// The one table of the picture formats the program writes (File > Save picture): each one's name,
// the toolkit's name for its writer and its extensions. The save dialog's filters and the format
// a picture file is written in follow it.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct PictureFormat {
    std::string name;                     // "JPEG picture"
    std::string writer;                   // the toolkit's: "JPEG"
    std::vector<std::string> extensions;  // lower case with their dot: ".jpg", ".jpeg"
};

// PNG first: the format of a name without a picture's extension.
const std::vector<PictureFormat>& PictureFormatTable();

// The format the extension of path's file name says (in any case), or null.
const PictureFormat* PictureFormatOf(const std::string& path);

// The save dialog's filters: one per format.
std::vector<std::pair<std::string, std::string>> PictureDialogFilters();
