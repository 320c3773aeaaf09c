#include "images/SceneImages.h"

#include <algorithm>

#include "images/MapImageLookup.h"

namespace {

// What tells the images a model held apart, cheap enough to take for every face drawn: the
// length and the bytes at the start (a PNG's or JPEG's header and size), the middle and the end
// (the last chunk's checksum, the end of the coded data). Copies of one image share their decoded
// image. Two different image files of one length alike in all of these would share it too: rare
// in real files, but nothing rules it out.
std::string EmbeddedImageKey(const std::vector<uint8_t>& bytes) {
    constexpr size_t kSample = 256;
    std::string key = std::to_string(bytes.size()) + ':';
    const auto take = [&](size_t from) {
        const size_t to = std::min(bytes.size(), from + kSample);
        key.append(reinterpret_cast<const char*>(bytes.data()) + from, to - from);
    };
    take(0);
    if (bytes.size() > kSample) take((bytes.size() - kSample) / 2);
    if (bytes.size() > 2 * kSample) take(bytes.size() - kSample);
    return key;
}

}  // namespace

SceneImages::SceneImages(ImageDecoder& decoder, int maxSide)
    : m_decoder(decoder), m_maxSide(maxSide) {}

void SceneImages::Reset(const std::string& sceneFile) {
    m_sceneFile = sceneFile;
    m_byName.clear();
    m_byPath.clear();
    m_embedded.clear();
}

const MapImage& SceneImages::ForMap(const std::string& mapName) {
    const auto known = m_byName.find(mapName);
    if (known != m_byName.end()) return *known->second;
    const std::string path = FindMapImage(m_sceneFile, mapName).value_or(std::string());
    auto [entry, added] = m_byPath.try_emplace(path);
    if (added) {
        entry->second.path = path;
        if (path.empty())
            entry->second.decoded.reason = "not found beside the scene file";
        else
            entry->second.decoded = m_decoder.Decode(path, m_maxSide);
    }
    m_byName.emplace(mapName, &entry->second);
    return entry->second;
}

const MapImage& SceneImages::ForMap(const TextureMap& map) {
    if (map.embeddedImage.empty()) return ForMap(map.fileName);
    auto [entry, added] = m_embedded.try_emplace(EmbeddedImageKey(map.embeddedImage));
    if (added) {
        entry->second.path = map.fileName;
        entry->second.decoded = m_decoder.DecodeBytes(map.embeddedImage, m_maxSide);
    }
    return entry->second;
}
