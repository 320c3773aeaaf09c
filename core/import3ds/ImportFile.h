// The file side of "Import 3DS file...", free of any dialog: once the user has chosen a file,
// the old scene is gone, whatever the file turns out to be.
#pragma once

#include <string>

#include "import3ds/ImportFindings.h"
#include "scene/FileOutcome.h"
#include "scene/Scene.h"

// Clears the scene and reads the file at path. On success the scene is marked modified and its
// first object and camera are current; on failure it stays empty and unmodified. Messages name
// the file without its folder, or by the path as given when it ends in a slash (a folder). A
// listener hears what the reader passes over or repairs.
FileOutcome ImportSceneFile(const std::string& path, Scene& scene,
                            ImportListener* listener = nullptr);

// The file name of a path, without its folder.
std::string FileNameOf(const std::string& path);
