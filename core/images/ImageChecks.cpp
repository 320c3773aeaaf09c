#include "images/ImageChecks.h"

#include <algorithm>

namespace {

std::string Claims(int64_t width, int64_t height) {
    return "it claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

}  // namespace

std::string ClaimedSizeRefusal(int64_t width, int64_t height, uint64_t fileBytes) {
    if (width <= 0 || height <= 0) return "it claims no size";
    if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) {
        return Claims(width, height) + ", more than the " + std::to_string(kMaxImagePixels) +
               " pixels and " + std::to_string(kMaxImageSide) + " on a side this program reads";
    }
    const uint64_t plausible = std::min<uint64_t>(fileBytes, kMaxImageFileBytes) *
                                   static_cast<uint64_t>(kPixelsPerFileByte) +
                               static_cast<uint64_t>(kPixelsOfAnyFile);
    if (static_cast<uint64_t>(width * height) > plausible) {
        return Claims(width, height) + ", more than a file of " + std::to_string(fileBytes) +
               " bytes can hold";
    }
    return std::string();
}

PixelSize FittedImageSize(int width, int height, int maxSide) {
    maxSide = std::max(maxSide, 1);
    const int longer = std::max(width, height);
    if (longer <= maxSide) return {width, height};
    const auto scaled = [&](int side) {
        return std::max(1, static_cast<int>(static_cast<int64_t>(side) * maxSide / longer));
    };
    return {scaled(width), scaled(height)};
}

bool JpegCutShort(const uint8_t* bytes, size_t size) {
    // Segments are a marker (0xFF, id) with a two-byte length that counts itself; after a scan's
    // header (SOS) come entropy-coded bytes, in which 0xFF is followed by 0 (a stuffed byte) or a
    // restart marker, until the next marker.
    if (size < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return true;
    size_t at = 2;
    bool inScan = false;
    while (at + 1 < size) {
        if (bytes[at] != 0xFF) {
            if (!inScan) return true;  // not a marker where one must be: a damaged file
            ++at;
            continue;
        }
        const uint8_t id = bytes[at + 1];
        if (id == 0xD9) return false;  // end of image
        if (id == 0xFF) {              // fill byte before a marker
            ++at;
            continue;
        }
        if (inScan && (id == 0x00 || (id >= 0xD0 && id <= 0xD7))) {
            at += 2;
            continue;
        }
        if (id == 0x01 || (id >= 0xD0 && id <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        if (at + 4 > size) return true;
        const size_t length = static_cast<size_t>(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length < 2 || length > size - at - 2) return true;
        at += 2 + length;
        inScan = id == 0xDA;
    }
    return true;
}
