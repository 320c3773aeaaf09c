#include "scene/ImageTable.h"

#include <algorithm>
#include <cstring>

ImageHash HashImageBytes(const std::vector<uint8_t>& bytes) {
    // FNV-1a over the bytes, and a multiply-rotate hash over eight bytes at a time: two hashes
    // of different kinds, so that no pattern of bytes fools both.
    ImageHash hash;
    hash.size = bytes.size();
    uint64_t fnv = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes)
        fnv = (fnv ^ b) * 0x100000001b3ull;
    uint64_t mixed = 0x9e3779b97f4a7c15ull ^ bytes.size();
    for (size_t at = 0; at < bytes.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, std::min<size_t>(8, bytes.size() - at));
        mixed ^= word * 0xff51afd7ed558ccdull;
        mixed = ((mixed << 31) | (mixed >> 33)) * 0xc4ceb9fe1a85ec53ull;
    }
    hash.first = fnv;
    hash.second = mixed;
    return hash;
}

int32_t AddSceneImage(Scene& scene, std::vector<uint8_t> bytes) {
    const ImageHash hash = HashImageBytes(bytes);
    for (size_t i = 0; i < scene.m_images.size(); ++i)
        if (scene.m_images[i].hash == hash && scene.m_images[i].bytes == bytes)
            return static_cast<int32_t>(i);
    scene.m_images.push_back({std::move(bytes), hash});
    return static_cast<int32_t>(scene.m_images.size() - 1);
}

const SceneImage* EmbeddedImageOf(const Scene& scene, const TextureMap& map) {
    return IsIndexOf(map.embeddedImage, scene.m_images)
               ? &scene.m_images[static_cast<size_t>(map.embeddedImage)]
               : nullptr;
}
