// The texture images of one scene, each found and decoded once: the drawing asks for a map's
// image every frame and gets the image read the first time, or the reason there is none.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "scene/SceneRecords.h"

// Pixels ready for glTexImage2D: GL_RGBA, GL_UNSIGNED_BYTE, rows from the bottom up (a map's
// v = 0 is the image's bottom row), no padding.
struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// What decoding an image file gave: the image, or why there is none.
struct DecodedImage {
    std::optional<TextureImage> image;
    std::string reason;  // empty when there is an image
};

// Decodes image files; the toolkit's image readers stand behind it outside the core.
class ImageDecoder {
public:
    virtual ~ImageDecoder() = default;
    // The image at path, scaled down so that neither side is over maxSide.
    virtual DecodedImage Decode(const std::string& path, int maxSide) = 0;
    // The same for an image file's bytes held in memory (an image a model held inside itself).
    virtual DecodedImage DecodeBytes(const std::vector<uint8_t>& bytes, int maxSide) = 0;
};

// A map's image: where it was found (empty when it was not; the map's name for an image the model
// held) and what decoding it gave.
struct MapImage {
    std::string path;
    DecodedImage decoded;
};

class SceneImages {
public:
    // maxSide is the context's GL_MAX_TEXTURE_SIZE.
    SceneImages(ImageDecoder& decoder, int maxSide);

    // Forgets every image: maps are looked for beside sceneFile from now on.
    void Reset(const std::string& sceneFile);
    // The scene file the maps are looked for beside.
    const std::string& SceneFile() const { return m_sceneFile; }

    // The image a map names (TextureMap::fileName): looked up and decoded on the first request,
    // each distinct file decoded once however many names lead to it. The reference stays valid
    // until Reset.
    const MapImage& ForMap(const std::string& mapName);
    // A map's image: decoded from embedded, the image the model held, when the map shows one
    // (each such image once, however many maps show it, told apart by the hash of all its bytes),
    // else as above.
    const MapImage& ForMap(const TextureMap& map, const SceneImage* embedded);

private:
    ImageDecoder& m_decoder;
    int m_maxSide;
    std::string m_sceneFile;
    std::map<std::string, const MapImage*> m_byName;
    std::map<std::string, MapImage> m_byPath;  // key "" holds the missing image
    std::map<ImageHash, MapImage> m_embedded;
};
