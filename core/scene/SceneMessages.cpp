#include "scene/SceneMessages.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "scene/InputStream.h"

namespace messages {

std::string StatisticsLine(const SceneStatistics& s) {
    char text[160];
    std::snprintf(text, sizeof text, "Object:%d Vertex:%d Mesh:%d Material:%d Light:%d Camera:%d",
                  s.objects, s.vertices, s.meshes, s.materials, s.lights, s.cameras);
    return text;
}

std::string NotAZemvoraFile(const std::string& path) {
    return "The file " + path + " is not a valid Zemvora file.";
}

std::string WrongZemvoraVersion(const std::string& path) {
    return "The file " + path + " is not a version 1.0.1 Zemvora file.";
}

std::string CannotCreateZmv(const std::string& path) {
    return "Can not create .zmv file " + path;
}

std::string EndOfFile() {
    return "An attempt was made to access an unnamed file past its end.";
}

std::string SceneExtrasDamaged(const std::string& path) {
    return "The face materials and texture data of " + path +
           " are damaged. The scene was opened without them.";
}

std::string SceneExtrasNewer(const std::string& path) {
    return "The face materials and texture data of " + path +
           " were saved by a newer version of Zemvora Creator. The scene was opened without them.";
}

std::string NotA3dsFile(const std::string& name) {
    return name + " is not a valid 3ds file.";
}

std::string Bad3dsMainChunk(const std::string& name) {
    // "File header error or file length error", in the words the program has always used.
    return name +
           " is not a valid 3ds file.\u6587\u4EF6\u5934\u9519\u8BEF or "
           "\u6587\u4EF6\u957F\u5EA6\u9519\u8BEF";
}

std::string Bad3dsMainChunkReason() {
    return "The file's header or length is not that of a 3DS file.";
}

std::string No3dsMeshData(const std::string& name) {
    return "No mesh data included in " + name;
}

std::string CannotOpenFile(const std::string& name, int errorCode) {
    switch (errorCode) {
        case ENOENT:
            return name + " was not found.";
        case EACCES:
        case EPERM:
            return "Access to " + name + " was denied.";
        case ENAMETOOLONG:
        case ENOTDIR:
        case EISDIR:
        case InputStream::kNotRegularFile:
            return name + " contains an invalid path.";
        case EIO:
            return "A hardware I/O error was reported while accessing " + name + ".";
        default:
            return "An unexpected error occurred while reading " + name + ".";
    }
}

std::string CannotImportFile(const std::string& name) {
    return name + " could not be imported.";
}

namespace {

std::string SignalName(int signal) {
    std::string what = signal == SIGKILL ? "killed" : strsignal(signal);
    if (!what.empty())
        what[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(what[0])));
    return what;
}

// The reasons a child failed, worded alike for the importer and the exporter.
std::string ChildTimedOut(const std::string& who, int seconds) {
    return "The " + who + " took more than " + std::to_string(seconds) + " seconds and was stopped";
}

std::string ChildExited(const std::string& who, int exitCode) {
    return "The " + who + " stopped with exit status " + std::to_string(exitCode);
}

std::string ChildGarbage(const std::string& who) {
    return "The " + who + "'s answer could not be read";
}

std::string ChildAnswerTooLong(const std::string& who, uint64_t limitBytes) {
    const uint64_t mb = limitBytes >> 20;
    return "The " + who + "'s answer was longer than " +
           (mb ? std::to_string(mb) + " MB" : std::to_string(limitBytes) + " bytes");
}

std::string ChildNotStarted(const std::string& who, int errorCode) {
    return "The " + who + " could not be started: " + SystemReason(errorCode);
}

}  // namespace

std::string ImporterStopped(int signal) {
    // The sandbox kills a child that makes a forbidden system call with SIGSYS.
    if (signal == SIGSYS)
        return "The importer was stopped: it tried something a model reader may not do";
    return "The importer stopped: " + SignalName(signal);
}

std::string CannotExportFile(const std::string& name) {
    return name + " could not be exported.";
}

std::string ExporterStopped(int signal) {
    if (signal == SIGSYS)
        return "The exporter was stopped: it tried something a model writer may not do";
    return "The exporter stopped: " + SignalName(signal);
}

std::string ExporterTimedOut(int seconds) {
    return ChildTimedOut("exporter", seconds);
}

std::string ExporterExited(int exitCode) {
    return ChildExited("exporter", exitCode);
}

std::string ExporterGarbage() {
    return ChildGarbage("exporter");
}

std::string ExporterNotStarted(int errorCode) {
    return ChildNotStarted("exporter", errorCode);
}

std::string ExporterUnknownFormat() {
    return "No exporter writes a file of this name";
}

std::string ImporterOutOfMemory(uint64_t limitBytes) {
    return "The importer needed more than its " + std::to_string(limitBytes >> 20) +
           " MB of memory";
}

std::string ImporterTimedOut(int seconds) {
    return ChildTimedOut("importer", seconds);
}

std::string ImporterExited(int exitCode) {
    return ChildExited("importer", exitCode);
}

std::string ImporterGarbage() {
    return ChildGarbage("importer");
}

std::string ImporterAnswerTooLong(uint64_t limitBytes) {
    return ChildAnswerTooLong("importer", limitBytes);
}

std::string ExporterAnswerTooLong(uint64_t limitBytes) {
    return ChildAnswerTooLong("exporter", limitBytes);
}

std::string ImporterNotStarted(int errorCode) {
    return ChildNotStarted("importer", errorCode);
}

std::string ImporterRefused(const std::string& libraryReason) {
    return libraryReason.empty() ? "The importer does not read this file" : libraryReason;
}

std::string SystemReason(int errorCode) {
    if (errorCode == 0) return std::string();
    if (errorCode == InputStream::kNotRegularFile) return "Not a regular file";
    return std::strerror(errorCode);
}

}  // namespace messages
