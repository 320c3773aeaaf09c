#include "images/KeptMapImages.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "images/MapImageLookup.h"
#include "scene/ImageTable.h"

namespace {

// The file's bytes, or nothing when it cannot be read whole or passes the bound.
std::vector<uint8_t> ReadImageFile(const std::string& path, uint64_t room) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > kMaxKeptImageBytes || size > room) return {};
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return {};
    return bytes;
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace

std::vector<std::string> KeepFoundMapImages(Scene& scene) {
    uint64_t kept = 0;
    for (const SceneImage& image : scene.m_images)
        kept += image.bytes.size();
    std::map<std::string, int32_t> read;  // the table's index by the path found; -1 not kept
    for (SceneMaterial& m : scene.m_materials) {
        if (!m.textureMap || m.textureMap->embeddedImage >= 0) continue;
        const std::optional<std::string> path =
            FindMapImage(scene.m_strImageBase, m.textureMap->fileName);
        if (!path) continue;
        auto [at, first] = read.emplace(*path, -1);
        if (first) {
            std::vector<uint8_t> bytes =
                ReadImageFile(*path, kMaxKeptImagesBytes - std::min(kept, kMaxKeptImagesBytes));
            // Kept once in the scene's table and in the file, however many maps show it.
            if (!bytes.empty()) {
                const size_t before = scene.m_images.size();
                at->second = AddSceneImage(scene, std::move(bytes));
                if (scene.m_images.size() > before) kept += scene.m_images.back().bytes.size();
            }
        }
        m.textureMap->embeddedImage = at->second;
    }
    std::vector<std::string> missing;
    for (const MissingMapImage& image : MissingMapImages(scene, scene.m_strImageBase))
        missing.push_back(image.fileName);
    return missing;
}

std::string SavedWithoutImagesText(const std::vector<std::string>& missing) {
    if (missing.empty()) return {};
    if (missing.size() == 1) return "Saved without texture image " + Quoted(missing[0]);
    std::string names;
    for (const std::string& name : missing)
        names += (names.empty() ? "" : ", ") + Quoted(name);
    return "Saved without " + std::to_string(missing.size()) + " texture images: " + names;
}
