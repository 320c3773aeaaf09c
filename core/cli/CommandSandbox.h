// The command line's commands read a file they cannot trust in the program's own process (a 3D
// Studio or scene file; a model in another format comes from the sandboxed import child), then
// draw it, print it or write it. Once the input is read (or its import child started) and the
// output is open, the process keeps itself to what is left to do: it reads the input's folder (the
// images its maps name) and the system's libraries, fonts and data, and writes only where its
// output goes. A file that made a reader, an image decoder or the drawing run code of its own can
// then write nothing but the command's output, and reach no network and no other program.
#pragma once

#include <string>
#include <vector>

// Whether the commands restrict the process. The program's main turns it on; tests that run the
// commands in their own process leave it off, or they would restrict themselves.
bool& CommandsRestrictThemselves();

// Restricts the process for good when turned on: reading the folder of input and the system's
// folders, writing files only in writableFolders. Called before the process starts a thread
// (the toolkit and OpenGL start theirs later), as the file rules bind only the calling thread
// and the threads it starts after.
void RestrictAfterReading(const std::string& input,
                          const std::vector<std::string>& writableFolders = {});

// The folder a file is in, absolute, for the rules.
std::string FolderOf(const std::string& file);
