// The File menu's recent files: the last four files opened, imported or saved, newest first,
// and what choosing one does.
#pragma once

#include <string>
#include <vector>

#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

class RecentFiles {
public:
    static constexpr size_t kMostFiles = 4;

    // path (made absolute) goes first; an earlier entry of it goes, and the oldest beyond four.
    void Add(const std::string& path);
    // False when path was not in the list.
    bool Remove(const std::string& path);
    // A list as the settings kept it, oldest last: empty entries and repeats are passed over.
    void Assign(const std::vector<std::string>& paths);
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::vector<std::string> m_paths;
};

// The menu item of entry index: "&1 " and the path, the home folder shown as "~", folders in the
// middle of a long path as "...", and '&' doubled so that it shows.
std::string RecentFileMenuText(size_t index, const std::string& path, const std::string& home);

// Choosing entry index: a file that has gone away leaves the list with a notice; any other is
// imported (.3ds) or opened as a scene file, after the unsaved-changes question.
FrameUpdate OnRecentFile(size_t index, RecentFiles& recent, Scene& scene, Prompts& prompts);
