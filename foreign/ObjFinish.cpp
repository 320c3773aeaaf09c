#include "ObjFinish.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

bool FinishObj(const std::string& path, const Scene& scene, std::string& why) {
    // The notes of the objects of each name, in the objects' order: the writer names each
    // group after its object, one group for each material the object uses.
    std::map<std::string, std::deque<std::string>> notes;
    bool any = false;
    for (const SceneObject& o : scene.m_objects) {
        if (o.meshes.empty()) continue;
        const bool worth = !o.note.empty() && o.note != o.name;
        notes[o.name].push_back(worth ? o.note : "");
        any = any || worth;
    }
    if (!any) return true;
    std::ifstream in(path);
    const std::string written = path + ".finished";
    std::ofstream out(written, std::ios::trunc);
    std::map<std::string, size_t> groupsSeen;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("g ", 0) == 0) {
            const std::string name = line.substr(2);
            auto found = notes.find(name);
            // A group whose name comes again belongs to the same object until its next object.
            if (found != notes.end() && !found->second.empty() && groupsSeen[name]++ == 0) {
                std::string note = found->second.front();
                found->second.pop_front();
                for (size_t start = 0; !note.empty() && start <= note.size();) {
                    const size_t end = note.find('\n', start);
                    out << "# note: " << note.substr(start, end - start) << "\n";
                    if (end == std::string::npos) break;
                    start = end + 1;
                }
            }
        }
        out << line << "\n";
    }
    out.close();
    std::error_code error;
    if (!in.eof() || !out || (std::filesystem::rename(written, path, error), error)) {
        why = "the file could not be written";
        return false;
    }
    return true;
}
