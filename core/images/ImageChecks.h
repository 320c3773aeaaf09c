// What is checked of a texture image before its decoder is trusted with it: the size it claims
// against fixed bounds and against its file's size, whether a JPEG file ends where its image does,
// and the size it is drawn at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The largest image decoded: 16384 pixels on a side (the largest texture OpenGL drivers take)
// and 8192 x 8192 pixels in all, 256 MiB at 4 bytes a pixel.
constexpr int64_t kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = 8192LL * 8192;
// The largest image file read: as large as the largest image stored uncompressed.
constexpr uint64_t kMaxImageFileBytes = static_cast<uint64_t>(kMaxImagePixels) * 4 + 65536;
// No image format packs more than about 1024 pixels into a byte (deflate's best is 1032 bytes
// out of one; a JPEG block of one colour still takes a few bits): an image claiming more is
// refused unless it is no larger than 2048 x 2048 pixels, which decodes quickly whatever it holds.
constexpr int64_t kPixelsPerFileByte = 1024;
constexpr int64_t kPixelsOfAnyFile = 2048LL * 2048;

// Why an image file of fileBytes bytes that claims width x height pixels is not decoded, or
// empty when it may be.
std::string ClaimedSizeRefusal(int64_t width, int64_t height, uint64_t fileBytes);

struct PixelSize {
    int width = 0;
    int height = 0;
};

// The size an image of width x height pixels is used at: its own, or scaled down keeping its
// shape so that neither side is over maxSide, with at least one pixel on each side.
PixelSize FittedImageSize(int width, int height, int maxSide);

// Whether the bytes of a JPEG file end before its image does: the file stops inside a segment or
// a scan, without reaching the end-of-image marker. Bytes after that marker are allowed.
bool JpegCutShort(const uint8_t* bytes, size_t size);
