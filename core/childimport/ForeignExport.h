// The export of the scene to a file in another format: the program itself, started as a child
// process with kExportChildOption, gets the scene as scene-file bytes on its standard input and
// has the Open Asset Import Library's exporter write it. The child writes into a fresh folder
// beside the target, which the parent then moves into place, so that a target is replaced whole
// or not at all and a failed export (crash, limits, a folder that is not writable, a full disk)
// leaves nothing behind.
#pragma once

#include <cstdint>

#include "childimport/ChildAnswer.h"
#include "scene/FileOutcome.h"
#include "scene/Scene.h"

// The internal option that makes the program the export child:
// `zemvora --export-child OUT IMAGEBASE`. It is not listed in --help.
constexpr const char* kExportChildOption = "--export-child";

// The child's CPU time.
constexpr int kExportChildCpuSeconds = 60;
// The most bytes the export child's answer may hold: it holds only lines of notes.
constexpr uint64_t kExportChildAnswerBytes = uint64_t{1} << 20;

// Writes scene to path in the format path's extension names (ExportFormatOf), with the
// texture images the format keeps beside it. The scene is not changed: export never marks it
// modified nor gives it a path. report gets what the format left out. The child is the program
// ProcessForeignImportSettings names, within its wall-clock time.
FileOutcome ExportSceneToFile(const Scene& scene, const std::string& path,
                              ConversionReport* report = nullptr);
