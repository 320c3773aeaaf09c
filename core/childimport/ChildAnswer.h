// What the import child writes to its parent on its standard output, and how the parent reads it
// back:
//
//   "ZCHA" | u8 status | u32 line count | each line: u32 length, its bytes | scene file bytes
//
// The status says whether a scene follows (Scene), or why none does: the library refused the
// file (Refused, the first line is its reason) or the child ran out of memory (OutOfMemory). The
// export child answers Written, with what the format left out as its lines and nothing after. With
// a scene, the lines are the conversion report and the scene follows as the bytes of a scene
// file, extension block and all, up to the end of the stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/OutputStream.h"
#include "scene/Scene.h"

enum class ChildStatus : uint8_t { Scene = 0, Refused = 1, OutOfMemory = 2, Written = 3 };

// What the conversion dropped or cut, one finished sentence per line ("3 lines dropped").
struct ConversionReport {
    std::vector<std::string> lines;
    // How far short of its full sandbox the child ran, where it did ("" when it ran in all of
    // it): a line of its answer that starts with kSandboxNotePrefix, kept apart from the lines.
    std::string sandbox;
};

constexpr const char* kSandboxNotePrefix = "sandbox: ";

void WriteChildAnswer(OutputStream& out, ChildStatus status, const std::vector<std::string>& lines,
                      const Scene* scene);

// Writes the answer to standard output and ends the process at once: a child has nothing left
// worth tidying up, and freeing a large scene would only keep the parent waiting.
[[noreturn]] void AnswerAndExit(ChildStatus status, const std::vector<std::string>& lines,
                                const Scene* scene);

enum class ChildAnswerResult { Scene, Refused, OutOfMemory, Written, Garbage };

// Reads an answer from bytes in memory into a fresh scene. Anything that is not a whole answer
// (a cut, an unknown status, a scene file that does not read whole with its extension block) is
// Garbage, and the scene is then left cleared. lines gets the answer's lines.
ChildAnswerResult ReadChildAnswer(const uint8_t* data, size_t size, Scene& scene,
                                  std::vector<std::string>& lines);
