// Replacing a file without ever losing the old one: the new contents go to a temporary file in
// the target's folder (an unnamed one where the file system allows, so that a killed save leaves
// nothing behind), which is renamed over the target only once everything was written and flushed
// to the disk. On any failure the target is untouched and the temporary is removed; temporaries
// that a killed save left are removed by the next save of the same target. A symbolic link is
// written through to the file it names.
#pragma once

#include <functional>
#include <string>

#include "scene/OutputStream.h"
#include "scene/Scene.h"

// write fills the stream and returns false to give up. Returns false with errorCode set to an
// errno value (0 when unknown) when the file could not be written.
bool AtomicWriteFile(const std::string& path, const std::function<bool(OutputStream&)>& write,
                     int& errorCode);

// Writes the scene file at path.
bool SaveSceneFile(const std::string& path, const Scene& scene, int& errorCode);
