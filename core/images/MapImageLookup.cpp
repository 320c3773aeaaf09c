#include "images/MapImageLookup.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// A map's file name taken apart at slashes and backslashes, without empty and "." parts.
struct NameParts {
    std::vector<std::string> parts;
    bool leavesFolder = false;  // absolute, a drive letter or a ".." part
};

NameParts SplitName(const std::string& name) {
    NameParts split;
    size_t start = 0;
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
        split.leavesFolder = true;
        start = 2;
    }
    if (start < name.size() && (name[start] == '/' || name[start] == '\\'))
        split.leavesFolder = true;
    std::string part;
    for (size_t i = start; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != '/' && name[i] != '\\') {
            part += name[i];
            continue;
        }
        if (part == "..") split.leavesFolder = true;
        if (!part.empty() && part != ".") split.parts.push_back(part);
        part.clear();
    }
    return split;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

// The entry of folder named part ignoring case, the first in byte order when several are.
std::optional<fs::path> EntryIgnoringCase(const fs::path& folder, const std::string& part) {
    std::error_code ec;
    std::optional<std::string> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (SameIgnoringCase(name, part) && (!found || name < *found)) found = name;
    }
    if (!found) return std::nullopt;
    return folder / *found;
}

bool StartsIgnoringCase(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && SameIgnoringCase(text.substr(0, start.size()), start);
}

// The file of folder whose long name a DOS name cut to eight characters and a three-character
// extension stands for ("UVTRANSF.PNG" for "UVTransformTestImg.png"), the first in byte order.
std::optional<std::string> LongNameOf(const fs::path& folder, const std::string& dosName) {
    const size_t dot = dosName.rfind('.');
    if (dot != 8 || dosName.size() - dot - 1 < 1 || dosName.size() - dot - 1 > 3)
        return std::nullopt;
    const std::string stem = dosName.substr(0, 8), ext = dosName.substr(9);
    std::error_code ec;
    std::optional<std::string> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const size_t nameDot = name.rfind('.');
        if (nameDot == std::string::npos || nameDot <= 8 || !StartsIgnoringCase(name, stem) ||
            !StartsIgnoringCase(name.substr(nameDot + 1), ext) || !IsRegularFile(it->path()))
            continue;
        if (!found || name < *found) found = name;
    }
    if (!found) return std::nullopt;
    return (folder / *found).string();
}

std::optional<std::string> Exactly(const fs::path& folder, const std::vector<std::string>& parts) {
    fs::path path = folder;
    for (const std::string& part : parts)
        path /= part;
    if (!IsRegularFile(path)) return std::nullopt;
    return path.string();
}

std::optional<std::string> IgnoringCase(fs::path folder, const std::vector<std::string>& parts) {
    for (const std::string& part : parts) {
        const std::optional<fs::path> entry = EntryIgnoringCase(folder, part);
        if (!entry) return std::nullopt;
        folder = *entry;
    }
    if (!IsRegularFile(folder)) return std::nullopt;
    return folder.string();
}

}  // namespace

std::optional<std::string> FindMapImage(const std::string& sceneFile, const std::string& mapName) {
    // A scene never read from a file has no folder of its own: the working folder is not it.
    if (sceneFile.empty()) return std::nullopt;
    const NameParts split = SplitName(mapName);
    if (split.parts.empty()) return std::nullopt;
    fs::path folder = fs::path(sceneFile).parent_path();
    if (folder.empty()) folder = ".";
    const std::vector<std::string> last = {split.parts.back()};
    std::vector<std::vector<std::string>> tries;
    if (!split.leavesFolder && split.parts.size() > 1) tries.push_back(split.parts);
    tries.push_back(last);
    for (const auto& parts : tries)
        if (auto path = Exactly(folder, parts)) return path;
    for (const auto& parts : tries)
        if (auto path = IgnoringCase(folder, parts)) return path;
    return LongNameOf(folder, split.parts.back());
}

std::vector<MissingMapImage> MissingMapImages(const Scene& scene, const std::string& sceneFile) {
    std::vector<MissingMapImage> missing;
    std::map<std::string, size_t> looked;  // each name looked up once: its entry in missing
    constexpr size_t kFound = static_cast<size_t>(-1);
    for (const SceneMaterial& material : scene.m_materials) {
        // An image the model held inside itself is never missing.
        if (!material.textureMap || material.textureMap->embeddedImage >= 0) continue;
        const std::string& name = material.textureMap->fileName;
        auto [at, first] = looked.emplace(name, kFound);
        if (first && !FindMapImage(sceneFile, name)) {
            at->second = missing.size();
            missing.push_back({name, {}});
        }
        if (at->second != kFound) missing[at->second].materials.push_back(material.name);
    }
    return missing;
}
