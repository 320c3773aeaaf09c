// The texts the program shows about scene files and about the scene as a whole.
#pragma once

#include <cstdint>
#include <string>

#include "scene/SceneRecords.h"

namespace messages {

// "Object:%d Vertex:%d Mesh:%d Material:%d Light:%d Camera:%d"
std::string StatisticsLine(const SceneStatistics& stats);

std::string NotAZemvoraFile(const std::string& path);
std::string WrongZemvoraVersion(const std::string& path);
std::string CannotCreateZmv(const std::string& path);
std::string EndOfFile();
// A scene file read whole whose extension block could not be read: the scene is shown without
// its face materials, texture coordinates and texture maps.
std::string SceneExtrasDamaged(const std::string& path);
std::string SceneExtrasNewer(const std::string& path);

std::string NotA3dsFile(const std::string& name);
std::string Bad3dsMainChunk(const std::string& name);
// Beneath Bad3dsMainChunk, the same in plain words.
std::string Bad3dsMainChunkReason();
std::string No3dsMeshData(const std::string& name);

// A file in another format that the import child could not turn into a scene, with the reason
// beneath it.
std::string CannotImportFile(const std::string& name);
// The reasons beneath it: the child was killed by a signal ("the importer stopped: segmentation
// fault"), ran out of memory, ran past its time, ended with a status of its own, wrote what is
// no answer, or could not be started; or the library's own words for the file.
std::string ImporterStopped(int signal);
std::string ImporterOutOfMemory(uint64_t limitBytes);
std::string ImporterTimedOut(int seconds);
std::string ImporterExited(int exitCode);
std::string ImporterGarbage();
// A child whose answer passed its byte limit: "The importer's answer was longer than 256 MB".
std::string ImporterAnswerTooLong(uint64_t limitBytes);
std::string ExporterAnswerTooLong(uint64_t limitBytes);
std::string ImporterNotStarted(int errorCode);
std::string ImporterRefused(const std::string& libraryReason);

// A scene that the export child could not write to a file in another format, with the reason
// beneath it, worded as the import's are.
std::string CannotExportFile(const std::string& name);
std::string ExporterStopped(int signal);
std::string ExporterTimedOut(int seconds);
std::string ExporterExited(int exitCode);
std::string ExporterGarbage();
std::string ExporterNotStarted(int errorCode);
std::string ExporterUnknownFormat();

// The reason a file could not be opened for reading, naming it ("NAME was not found.").
std::string CannotOpenFile(const std::string& name, int errorCode);

// The system's words for an errno value or InputStream::kNotRegularFile, as shown beneath a
// message: "No space left on device". Empty for 0, an unknown cause.
std::string SystemReason(int errorCode);

}  // namespace messages
