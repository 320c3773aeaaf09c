#include "images/KeptMapImages.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "images/MapImageLookup.h"

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
    for (const SceneMaterial& m : scene.m_materials)
        if (m.textureMap) kept += m.textureMap->embeddedImage.size();
    std::map<std::string, std::vector<uint8_t>> read;  // by the path found
    for (SceneMaterial& m : scene.m_materials) {
        if (!m.textureMap || !m.textureMap->embeddedImage.empty()) continue;
        const std::optional<std::string> path =
            FindMapImage(scene.m_strImageBase, m.textureMap->fileName);
        if (!path) continue;
        auto [at, first] = read.emplace(*path, std::vector<uint8_t>());
        if (first)
            at->second =
                ReadImageFile(*path, kMaxKeptImagesBytes - std::min(kept, kMaxKeptImagesBytes));
        // Each map holds its own copy in memory and in the file: each copy counts.
        const std::vector<uint8_t>& bytes = at->second;
        if (bytes.empty() || kept + bytes.size() > kMaxKeptImagesBytes) continue;
        kept += bytes.size();
        m.textureMap->embeddedImage = bytes;
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
