// A file handed to the window from outside, dropped on it or named on its command line: imported
// (a 3D Studio file or another model) or opened (a scene file) by the format table, or, when it
// is a regular file of no format the program reads, refused before any question, the scene left
// as it is, unsaved changes and all.
#pragma once

#include <string>

#include "commands/FrameUpdate.h"

enum class OutsideRead { Import, Open, Refuse };

// How path is read, its first bytes looked at once. A file that is not there, or not a regular
// file, is opened, so that the reader's own messages say what is wrong with it.
OutsideRead HowToReadFromOutside(const std::string& path);

// The refusal: "notes.txt is not a model or scene this program reads".
FrameUpdate RefuseUnreadableFile(const std::string& path);
