// Texture images through the toolkit's readers: every format a map may name decodes, rows from
// the bottom up; large images are scaled to fit; hostile and damaged files are refused with a
// reason before anything large is decoded.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "TextureDecoding.h"
#include "tests/TestFiles.h"

using testfiles::ReadBytes;
using testfiles::TempDir;
using testfiles::TestData;
using testfiles::WriteBytes;

namespace {

// 64 x 48 pixels, blue with a red top-left quarter.
QImage Quarters() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    painter.fillRect(0, 0, 32, 24, Qt::red);
    return image;
}

// A 2 x 2 uncompressed TGA, rows from the top: red, blue / blue, blue; the toolkit reads only
// files with the footer of version 2.0.
std::vector<uint8_t> Tga() {
    std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0x20};
    for (const uint8_t red : {1, 0, 0, 0})
        bytes.insert(bytes.end(),
                     {static_cast<uint8_t>(red ? 0 : 255), 0, static_cast<uint8_t>(red ? 255 : 0)});
    bytes.insert(bytes.end(), 8, 0);
    const std::string footer = "TRUEVISION-XFILE.";
    bytes.insert(bytes.end(), footer.begin(), footer.end());
    bytes.push_back(0);
    return bytes;
}

// One white pixel.
const std::vector<uint8_t> kGif = {'G', 'I',  'F',  '8',  '9', 'a', 1, 0,    1,    0, 0x80, 0,
                                   0,   0xFF, 0xFF, 0xFF, 0,   0,   0, 0x2C, 0,    0, 0,    0,
                                   1,   0,    1,    0,    0,   2,   2, 0x44, 0x01, 0, 0x3B};

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// The red and blue of a pixel of a decoded image, x from the left and y from the top.
std::pair<int, int> RedBlue(const TextureImage& image, int x, int yFromTop) {
    const size_t at =
        (static_cast<size_t>(image.height - 1 - yFromTop) * static_cast<size_t>(image.width) +
         static_cast<size_t>(x)) *
        4;
    return {image.rgba[at], image.rgba[at + 2]};
}

}  // namespace

TEST(TextureDecoding, EveryFormatDecodesWithItsRowsFromTheBottomUp) {
    TempDir dir;
    for (const char* format : {"png", "jpg", "bmp"})
        ASSERT_TRUE(Quarters().save(QString::fromStdString(dir.File("q.") + format), format));
    WriteBytes(dir.File("q.tga"), Tga());
    WriteBytes(dir.File("q.gif"), kGif);
    const struct {
        const char* file;
        int width, height;
        std::pair<int, int> topLeft, bottomRight;  // red and blue
    } cases[] = {
        {"q.png", 64, 48, {255, 0}, {0, 255}},   {"q.jpg", 64, 48, {255, 0}, {0, 255}},
        {"q.bmp", 64, 48, {255, 0}, {0, 255}},   {"q.tga", 2, 2, {255, 0}, {0, 255}},
        {"q.gif", 1, 1, {255, 255}, {255, 255}},
    };
    for (const auto& c : cases) {
        const DecodedImage decoded = DecodeTextureImage(dir.File(c.file), 4096);
        ASSERT_TRUE(decoded.image) << c.file << ": " << decoded.reason;
        const TextureImage& image = *decoded.image;
        EXPECT_EQ(image.width, c.width) << c.file;
        EXPECT_EQ(image.height, c.height) << c.file;
        ASSERT_EQ(image.rgba.size(), static_cast<size_t>(c.width * c.height * 4)) << c.file;
        for (const auto& [x, y, expected] :
             {std::make_tuple(0, 0, c.topLeft),
              std::make_tuple(c.width - 1, c.height - 1, c.bottomRight)}) {
            const auto [red, blue] = RedBlue(image, x, y);
            EXPECT_NEAR(red, expected.first, 8) << c.file << " at " << x << ", " << y;
            EXPECT_NEAR(blue, expected.second, 8) << c.file << " at " << x << ", " << y;
        }
    }
}

TEST(TextureDecoding, RealTexturesDecodeAndLargeOnesAreScaledDownToTheMaximum) {
    const struct {
        const char* file;
        int maxSide, width, height;
    } cases[] = {
        {"assimp/jeep1.jpg", 16384, 512, 512},
        {"assimp/jeep1.jpg", 64, 64, 64},
        {"online3dviewer/texture.png", 16384, 0, 0},  // its own size, whatever it is
        {"online3dviewer/texture.png", 16, 0, 0},
    };
    for (const auto& c : cases) {
        const DecodedImage decoded = DecodeTextureImage(TestData(c.file), c.maxSide);
        ASSERT_TRUE(decoded.image) << c.file << ": " << decoded.reason;
        if (c.width) {
            EXPECT_EQ(decoded.image->width, c.width) << c.file << " within " << c.maxSide;
            EXPECT_EQ(decoded.image->height, c.height) << c.file << " within " << c.maxSide;
        }
        EXPECT_LE(std::max(decoded.image->width, decoded.image->height), c.maxSide) << c.file;
        EXPECT_EQ(decoded.image->rgba.size(), static_cast<size_t>(decoded.image->width) *
                                                  static_cast<size_t>(decoded.image->height) * 4);
    }
}

TEST(TextureDecoding, EveryTextureImageOfTheRealFilesDecodes) {
    size_t images = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestData(""))) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".jpg" && ext != ".png") continue;
        ++images;
        const DecodedImage decoded = DecodeTextureImage(entry.path().string(), 16384);
        EXPECT_TRUE(decoded.image) << entry.path() << ": " << decoded.reason;
    }
    EXPECT_EQ(images, 8u);
}

TEST(TextureDecoding, HostileAndDamagedFilesAreRefusedWithAReason) {
    TempDir dir;
    ASSERT_TRUE(Quarters().save(QString::fromStdString(dir.File("q.png")), "png"));
    // The same PNG claiming 100000 x 100000 pixels, its header's checksum made to match.
    std::vector<uint8_t> huge = ReadBytes(dir.File("q.png"));
    PutBigEndian(huge, 16, 100000);
    PutBigEndian(huge, 20, 100000);
    PutBigEndian(huge, 29, Crc32(huge.data() + 12, 17));
    WriteBytes(dir.File("huge.png"), huge);
    const std::vector<uint8_t> jeep = ReadBytes(TestData("assimp/jeep1.jpg"));
    WriteBytes(dir.File("cut.jpg"), std::vector<uint8_t>(jeep.begin(), jeep.begin() + 20000));
    const std::vector<uint8_t> png = ReadBytes(dir.File("q.png"));
    WriteBytes(dir.File("cut.png"), std::vector<uint8_t>(png.begin(), png.end() - 40));
    WriteBytes(dir.File("text.png"), {'h', 'e', 'l', 'l', 'o'});
    const struct {
        const char* file;
        std::string reason;  // how it starts
    } cases[] = {
        {"huge.png", "it claims 100000 x 100000 pixels, more than the"},
        {"cut.jpg", "the file ends before its image does"},
        {"cut.png", "the image reader failed: "},
        {"text.png", "it is not a PNG, JPEG, BMP, GIF or TGA image"},
        {"none.png", "it cannot be opened: "},
        {".", "it is not a file"},
    };
    for (const auto& c : cases) {
        const DecodedImage decoded = DecodeTextureImage(dir.File(c.file), 4096);
        EXPECT_FALSE(decoded.image) << c.file;
        EXPECT_EQ(decoded.reason.substr(0, c.reason.size()), c.reason) << c.file;
        // The same bytes held in memory (an image inside a model) are refused alike.
        if (std::filesystem::is_regular_file(dir.File(c.file))) {
            EXPECT_EQ(DecodeTextureImageBytes(ReadBytes(dir.File(c.file)), 4096).reason,
                      decoded.reason)
                << c.file;
        }
    }
    const DecodedImage fromFile = DecodeTextureImage(dir.File("q.png"), 4096);
    const DecodedImage fromBytes = DecodeTextureImageBytes(png, 4096);
    ASSERT_TRUE(fromFile.image && fromBytes.image);
    EXPECT_EQ(fromBytes.image->rgba, fromFile.image->rgba);
}
