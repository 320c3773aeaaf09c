#include "images/SceneImages.h"

#include <algorithm>

#include "images/MapImageLookup.h"

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

const MapImage& SceneImages::ForMap(const TextureMap& map, const SceneImage* embedded) {
    if (!embedded) return ForMap(map.fileName);
    auto [entry, added] = m_embedded.try_emplace(embedded->hash);
    if (added) {
        entry->second.path = map.fileName;
        entry->second.decoded = m_decoder.DecodeBytes(embedded->bytes, m_maxSide);
    }
    return entry->second;
}
