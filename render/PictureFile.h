// Saving a drawn picture as a PNG file. The picture is encoded in memory first, so that a
// failure to encode never touches the file.
#pragma once

#include <QImage>
#include <string>

enum class PictureWrite {
    // A new file renamed over the old one once whole: the old picture stays until then.
    ReplaceAtomically,
    // The given file truncated and written, as a thumbnail service that reads it through the
    // handle it opened before the run needs.
    InPlace,
};

// False with a reason for the user ("No space left on device") when the file was not written.
bool SavePngPicture(const QImage& image, const std::string& path, PictureWrite how,
                    std::string& reason);
