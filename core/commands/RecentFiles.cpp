#include "commands/RecentFiles.h"

#include <algorithm>
#include <filesystem>

#include "commands/DocumentCommands.h"
#include "commands/ImportCommand.h"
#include "formats/FileFormats.h"

namespace fs = std::filesystem;

namespace {

// Longer paths lose folders in their middle.
constexpr size_t kLongestMenuPath = 60;

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string ShortenedPath(const std::string& path) {
    if (path.size() <= kLongestMenuPath) return path;
    // The first folder and as many of the last parts as fit, "..." between them.
    const size_t firstEnd = path.find('/', path[0] == '/' ? 1 : 0);
    const size_t lastStart = path.rfind('/');
    if (firstEnd == std::string::npos || firstEnd >= lastStart) return path;
    const std::string head = path.substr(0, firstEnd + 1) + "...";
    size_t tail = lastStart;
    while (tail > firstEnd) {
        const size_t before = path.rfind('/', tail - 1);
        if (before <= firstEnd || head.size() + path.size() - before > kLongestMenuPath) break;
        tail = before;
    }
    return head + path.substr(tail);
}

}  // namespace

void RecentFiles::Add(const std::string& path) {
    const std::string absolute = Absolute(path);
    Remove(absolute);
    m_paths.insert(m_paths.begin(), absolute);
    if (m_paths.size() > kMostFiles) m_paths.resize(kMostFiles);
}

bool RecentFiles::Remove(const std::string& path) {
    const auto it = std::find(m_paths.begin(), m_paths.end(), path);
    if (it == m_paths.end()) return false;
    m_paths.erase(it);
    return true;
}

void RecentFiles::Assign(const std::vector<std::string>& paths) {
    m_paths.clear();
    for (const std::string& path : paths) {
        if (m_paths.size() == kMostFiles) break;
        if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
}

std::string RecentFileMenuText(size_t index, const std::string& path, const std::string& home) {
    std::string shown = path;
    if (!home.empty() && home != "/" && path.size() > home.size() &&
        path.compare(0, home.size(), home) == 0 && path[home.size()] == '/')
        shown = "~" + path.substr(home.size());
    shown = ShortenedPath(shown);
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : shown) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

FrameUpdate OnRecentFile(size_t index, RecentFiles& recent, Scene& scene, Prompts& prompts) {
    if (index >= recent.Paths().size()) return {};
    const std::string path = recent.Paths()[index];
    std::error_code ec;
    if (fs::status(path, ec).type() == fs::file_type::not_found) {
        recent.Remove(path);
        FrameUpdate update;
        update.notice = "The file " + path +
                        " no longer exists. It has been removed from the list of recent files.";
        update.noticeIcon = NoticeIcon::Warning;
        update.Then(FrameStep::ShowNotice);
        return update;
    }
    return ReaderOfFile(path) != FormatReader::SceneFile
               ? ImportFileFromOutside(path, scene, prompts)
               : OpenSceneFileFromOutside(path, scene, prompts);
}
