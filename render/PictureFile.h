// Saving a drawn picture as a PNG (or JPEG) file. The picture is encoded in memory first, so that a
// failure to encode never touches the file.
#pragma once

#include <QImage>
#include <string>

class InPlaceFile;

// Puts a new file in place of path, renamed over the old one once whole: the old picture stays
// until then. False with a reason for the user ("No space left on device") when the file was not
// written.
bool SavePngPicture(const QImage& image, const std::string& path, std::string& reason);
// The same in a format its name says: JPEG for .jpg and .jpeg (any case), PNG otherwise.
bool SavePictureByName(const QImage& image, const std::string& path, std::string& reason);
// The same in a format Qt names ("PNG", "JPEG").
bool SavePicture(const QImage& image, const std::string& path, const char* format,
                 std::string& reason);

// Truncates and writes the file opened before, as a thumbnail service that reads it through the
// handle it opened before the run needs.
bool SavePngPicture(const QImage& image, InPlaceFile& file, std::string& reason);
