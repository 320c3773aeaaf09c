#include "PictureFile.h"

#include <QBuffer>

#include "formats/PictureFormats.h"
#include "scene/AtomicFile.h"
#include "scene/InPlaceFile.h"
#include "scene/SceneMessages.h"

namespace {

// JPEG at a quality that shows no blocks on a model's flat colours.
constexpr int kJpegQuality = 95;
// PNG at the toolkit's quality that means zlib's fastest compression: a picture of a large
// model, full of fine detail, is written three times as fast and even smaller than at the
// default level; a plain one becomes a few tens of kilobytes larger. Either way, the same pixels.
constexpr int kPngQuality = 80;

bool Encode(const QImage& image, const char* format, QByteArray& bytes, std::string& reason) {
    QBuffer buffer(&bytes);
    const int quality = std::string(format) == "JPEG" ? kJpegQuality : kPngQuality;
    if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format, quality)) return true;
    reason = "the picture could not be encoded";
    return false;
}

bool EncodePng(const QImage& image, QByteArray& png, std::string& reason) {
    return Encode(image, "PNG", png, reason);
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
    return SavePicture(image, path, "PNG", reason);
}

bool SavePictureByName(const QImage& image, const std::string& path, std::string& reason) {
    const PictureFormat* format = PictureFormatOf(path);
    return SavePicture(image, path, format ? format->writer.c_str() : "PNG", reason);
}

bool SavePicture(const QImage& image, const std::string& path, const char* format,
                 std::string& reason) {
    QByteArray bytes;
    if (!Encode(image, format, bytes, reason)) return false;
    int errorCode = 0;
    const bool written = AtomicWriteFile(
        path,
        [&bytes](OutputStream& out) {
            out.Write(bytes.constData(), static_cast<size_t>(bytes.size()));
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
