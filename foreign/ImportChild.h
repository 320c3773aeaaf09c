// The import child's side: `zemvora --import-child FILE` limits its own memory and CPU time,
// reads FILE with the Open Asset Import Library, converts it and writes the answer (see
// childimport/ChildAnswer.h) to its standard output.
#pragma once

#include <string>
#include <vector>

#include "childimport/ChildAnswer.h"
#include "scene/Scene.h"

// Reads path with the Open Asset Import Library and converts it into scene (empty), with the
// conversion's report in lines; or gives the status of a failure, with the library's reason in
// lines when it refused the file.
ChildStatus ReadWithLibrary(const std::string& path, Scene& scene, std::vector<std::string>& lines);

// Runs the child: ends the process with status 0 once an answer is written.
int RunImportChild(const std::string& path);
