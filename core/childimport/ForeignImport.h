// The import of a file in another format: the program itself, started as a child process with
// kImportChildOption, reads the file with the Open Asset Import Library within limits of memory
// and CPU time and hands the scene back as scene-file bytes on its standard output. Whatever the
// library does with a damaged file (crash, exhaust its memory, hang, write garbage) ends in the
// child, and the user gets one message naming the file and the reason.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "childimport/ChildAnswer.h"
#include "childimport/ChildProcess.h"
#include "scene/FileOutcome.h"
#include "scene/Scene.h"

// The internal option that makes the program the import child: `zemvora --import-child FILE`.
// It is not listed in --help.
constexpr const char* kImportChildOption = "--import-child";

// The child's CPU time: seconds, not minutes, as the 3DS reader's bounds are.
constexpr int kImportChildCpuSeconds = 20;

// The child's address space for a file of fileSize bytes: 48 times the file plus 256 MB. The
// library's OBJ reader with the joining of identical vertices reaches 40 times its file's size in
// address space (18 times in resident memory): a 62 MB OBJ of 2,000,000 triangles peaks at 2.5 GB.
// A small file that claims a huge mesh still gets no more than about 256 MB.
uint64_t ImportChildMemoryLimit(uint64_t fileSize);

// The most bytes the child's answer may hold for a file of fileSize bytes: the answer holds the
// scene, which the child built within its memory, so as many as its memory limit.
uint64_t ImportChildAnswerLimit(uint64_t fileSize);

// Which program is started as the child and how long it may take by the clock (a child that
// sleeps uses no CPU time). Tests point program at the built program and shorten the time.
struct ForeignImportSettings {
    std::string program = "/proc/self/exe";
    int wallSeconds = 30;
    // The most bytes the child's answer may hold; 0: ImportChildAnswerLimit of the file's size.
    uint64_t answerBytes = 0;
    // Asked about every 50 ms while the child reads, with the file's name and how far it has
    // come (0 to 100, -1 before it says); false stops it. The window shows its progress bar and
    // the command line its progress through this.
    using Watch = std::function<bool(const std::string& name, int percent)>;
    Watch watch;
};
ForeignImportSettings& ProcessForeignImportSettings();

// Imports path into a fresh scene and, only when that succeeds, puts it in place of scene (the
// label font and the scene's file path are kept, as an import keeps them). A file that cannot
// be read (missing, not a file, refused by the library) leaves the scene cleared, as a 3D Studio
// file does; an importer that fails (crash, limits, garbage) leaves it as it was and says so in
// FileOutcome::sceneKept. On success the new scene is modified, its first object and camera are
// current and its images are looked for beside path. report gets what the conversion dropped or
// cut. A read the watch stopped leaves the scene as it was, with the outcome's cancelled set.
FileOutcome ImportForeignFile(const std::string& path, Scene& scene,
                              ConversionReport* report = nullptr);

// The same in two steps, so that the program can do work of its own while the child reads: the
// child is started at once, and Finish (called once) waits for it and does the rest. A read not
// finished is stopped when this goes.
class PendingImport {
public:
    explicit PendingImport(const std::string& path);
    ~PendingImport();
    PendingImport(const PendingImport&) = delete;
    PendingImport& operator=(const PendingImport&) = delete;
    FileOutcome Finish(Scene& scene, ConversionReport* report = nullptr);

    // Shows the scene in coming as it comes, so that it can be drawn while the child still
    // reads: once the child has announced the scene (all but its objects), coming holds it,
    // and then each object sent ahead as soon as it is read; shown(announced) is called each
    // time more came. coming must be a new scene, and the scene Finish is then given; nothing
    // but what comes may change its objects. A read that fails leaves it new again. Call before
    // Finish.
    void ShowAsItComes(Scene& coming, std::function<void(bool announced)> shown);

private:
    std::string m_path, m_name;
    FileOutcome m_unreadable;  // why the file cannot be read, when no child was started
    std::unique_ptr<ChildAnswerReader> m_answer;
    size_t m_readAhead = 0;  // bytes of the answer read while the child wrote
    Scene* m_coming = nullptr;
    std::function<void(bool announced)> m_shown;
    std::optional<StartedChild> m_child;
    int m_wallSeconds = 0;
    uint64_t m_memory = 0, m_answerBytes = 0;
};
