#include "TextureDecoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <memory>
#include <new>

#include "images/ImageChecks.h"

namespace {

// The toolkit refuses on its own to allocate more than this for one image: the bound of
// ImageChecks with room for the decoder's own buffers.
constexpr int kAllocationLimitMiB = static_cast<int>(kMaxImagePixels * 4 / (1024 * 1024)) + 16;

DecodedImage Refused(std::string reason) {
    DecodedImage decoded;
    decoded.reason = std::move(reason);
    return decoded;
}

// A reader of the formats texture maps use. TGA files have no signature to tell them by (the
// icon reader takes many for its own), so a file none of the others claims is tried as TGA.
std::unique_ptr<QImageReader> ReaderOf(QBuffer& buffer) {
    auto reader = std::make_unique<QImageReader>(&buffer);
    for (const char* known : {"png", "jpeg", "bmp", "gif"})
        if (reader->format() == known) return reader;
    buffer.seek(0);
    reader = std::make_unique<QImageReader>(&buffer, QByteArray("tga"));
    reader->setAutoDetectImageFormat(false);
    if (reader->canRead()) return reader;
    return nullptr;
}

// The image in an image file's bytes, each bound checked before the toolkit decodes it.
DecodedImage DecodeInMemory(QByteArray& bytes, int maxSide) {
    const qint64 fileBytes = bytes.size();
    QImageReader::setAllocationLimit(kAllocationLimitMiB);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const std::unique_ptr<QImageReader> readerOf = ReaderOf(buffer);
    if (!readerOf) return Refused("it is not a PNG, JPEG, BMP, GIF or TGA image");
    QImageReader& reader = *readerOf;
    const QByteArray format = reader.format();
    const QSize claimed = reader.size();
    const std::string refusal =
        ClaimedSizeRefusal(claimed.width(), claimed.height(), static_cast<uint64_t>(fileBytes));
    if (!refusal.empty()) return Refused(refusal);
    if (format == "jpeg" && JpegCutShort(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                         static_cast<size_t>(bytes.size())))
        return Refused("the file ends before its image does");

    const PixelSize fitted = FittedImageSize(claimed.width(), claimed.height(), maxSide);
    const QSize size(fitted.width, fitted.height);
    if (size != claimed) reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull())
        return Refused("the image reader failed: " + reader.errorString().toStdString());
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.convertTo(QImage::Format_RGBA8888);
    if (image.format() != QImage::Format_RGBA8888)
        return Refused("there is not enough memory to convert it");

    TextureImage texture;
    texture.width = image.width();
    texture.height = image.height();
    const size_t row = static_cast<size_t>(texture.width) * 4;
    texture.rgba.resize(row * static_cast<size_t>(texture.height));
    for (int y = 0; y < texture.height; ++y) {
        std::memcpy(texture.rgba.data() + row * static_cast<size_t>(texture.height - 1 - y),
                    image.constScanLine(y), row);
    }
    DecodedImage decoded;
    decoded.image = std::move(texture);
    return decoded;
}

DecodedImage Decode(const std::string& path, int maxSide) {
    QFile file(QFile::decodeName(path.c_str()));
    const QFileInfo info(file);
    if (info.exists() && !info.isFile()) return Refused("it is not a file");
    if (!file.open(QIODevice::ReadOnly))
        return Refused("it cannot be opened: " + file.errorString().toStdString());
    const qint64 fileBytes = file.size();
    if (fileBytes < 0 || static_cast<uint64_t>(fileBytes) > kMaxImageFileBytes) {
        return Refused("its file of " + std::to_string(fileBytes) +
                       " bytes is larger than any image this program reads");
    }
    QByteArray bytes = file.read(fileBytes);
    if (bytes.size() != fileBytes)
        return Refused("it could not be read whole: " + file.errorString().toStdString());
    return DecodeInMemory(bytes, maxSide);
}

}  // namespace

DecodedImage DecodeTextureImage(const std::string& path, int maxSide) {
    try {
        return Decode(path, maxSide);
    } catch (const std::bad_alloc&) {
        return Refused("there is not enough memory to read it");
    }
}

DecodedImage DecodeTextureImageBytes(const std::vector<uint8_t>& bytes, int maxSide) {
    if (bytes.size() > kMaxImageFileBytes) {
        return Refused("its " + std::to_string(bytes.size()) +
                       " bytes are more than any image this program reads");
    }
    try {
        // The bytes are only read, in place.
        QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<qsizetype>(bytes.size()));
        return DecodeInMemory(view, maxSide);
    } catch (const std::bad_alloc&) {
        return Refused("there is not enough memory to read it");
    }
}
