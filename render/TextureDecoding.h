// Texture images decoded with the toolkit's image readers (PNG, JPEG, BMP, GIF, TGA), each
// bounded before it is decoded (core/images/ImageChecks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "images/SceneImages.h"

// The image at path, or the reason it is refused: not an image of the five formats, a size it
// claims that is too large or more than its file can hold, a JPEG cut short, a file the reader
// fails on. Images with a side over maxSide are scaled down to fit. Never throws.
DecodedImage DecodeTextureImage(const std::string& path, int maxSide);
// The same for an image file's bytes in memory.
DecodedImage DecodeTextureImageBytes(const std::vector<uint8_t>& bytes, int maxSide);

class ToolkitImageDecoder final : public ImageDecoder {
public:
    DecodedImage Decode(const std::string& path, int maxSide) override {
        return DecodeTextureImage(path, maxSide);
    }
    DecodedImage DecodeBytes(const std::vector<uint8_t>& bytes, int maxSide) override {
        return DecodeTextureImageBytes(bytes, maxSide);
    }
};
