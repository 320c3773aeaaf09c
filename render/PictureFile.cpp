#include "PictureFile.h"

#include <QBuffer>

#include "scene/AtomicFile.h"
#include "scene/InPlaceFile.h"
#include "scene/SceneMessages.h"

namespace {

bool EncodePng(const QImage& image, QByteArray& png, std::string& reason) {
    QBuffer buffer(&png);
    if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG")) return true;
    reason = "the picture could not be encoded";
    return false;
}

bool Written(bool written, int errorCode, std::string& reason) {
    if (!written) {
        reason = messages::SystemReason(errorCode);
        if (reason.empty()) reason = "the file could not be written";
    }
    return written;
}

}  // namespace

bool SavePngPicture(const QImage& image, const std::string& path, std::string& reason) {
    QByteArray png;
    if (!EncodePng(image, png, reason)) return false;
    int errorCode = 0;
    const bool written = AtomicWriteFile(
        path,
        [&png](OutputStream& out) {
            out.Write(png.constData(), static_cast<size_t>(png.size()));
            return true;
        },
        errorCode);
    return Written(written, errorCode, reason);
}

bool SavePngPicture(const QImage& image, InPlaceFile& file, std::string& reason) {
    QByteArray png;
    if (!EncodePng(image, png, reason)) return false;
    int errorCode = 0;
    const bool written = file.Write(png.constData(), static_cast<size_t>(png.size()), errorCode);
    return Written(written, errorCode, reason);
}
