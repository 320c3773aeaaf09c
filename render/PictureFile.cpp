#include "PictureFile.h"

#include <QBuffer>

#include "scene/AtomicFile.h"
#include "scene/InPlaceFile.h"
#include "scene/SceneMessages.h"

bool SavePngPicture(const QImage& image, const std::string& path, PictureWrite how,
                    std::string& reason) {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        reason = "the picture could not be encoded";
        return false;
    }
    int errorCode = 0;
    bool written = false;
    if (how == PictureWrite::InPlace) {
        written =
            WriteFileInPlace(path, png.constData(), static_cast<size_t>(png.size()), errorCode);
    } else {
        written = AtomicWriteFile(
            path,
            [&png](OutputStream& out) {
                out.Write(png.constData(), static_cast<size_t>(png.size()));
                return true;
            },
            errorCode);
    }
    if (!written) {
        reason = messages::SystemReason(errorCode);
        if (reason.empty()) reason = "the file could not be written";
    }
    return written;
}
