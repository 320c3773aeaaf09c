// The file side of opening and saving scene files, free of any dialog: the window's commands
// ask their questions first and show the outcome's message.
#pragma once

#include <string>

#include "scene/FileOutcome.h"
#include "scene/Scene.h"
#include "scene/SceneFile.h"

// Clears the scene, records path as the scene's file (also when reading then fails) and reads
// the file. After a failure the scene keeps what was read before it. A file whose extension block
// is damaged opens without its extras, and the outcome's warning says so.
FileOutcome OpenSceneFile(const std::string& path, Scene& scene);

// Writes the scene to path without ever damaging the file that was there.
FileOutcome SaveSceneAs(const std::string& path, const Scene& scene);
