// A file handed to the window from outside, dropped on it or named on its command line, that
// the program cannot read: a regular file of no format in the format table. It is refused before
// any question, and the scene stays as it is, unsaved changes and all.
#pragma once

#include <string>

#include "commands/FrameUpdate.h"

// Whether path is such a file. A file that is not there, or not a regular file, is left to the
// reader's own messages.
bool IsUnreadableFile(const std::string& path);

// The refusal: "notes.txt is not a model or scene this program reads".
FrameUpdate RefuseUnreadableFile(const std::string& path);
