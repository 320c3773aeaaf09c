// The import child's side: `zemvora --import-child FILE` limits its own memory and CPU time,
// reads FILE with the Open Asset Import Library, converts it and writes the answer (see
// childimport/ChildAnswer.h) to its standard output.
#pragma once

#include <string>

// The environment variable that makes the child misbehave on purpose, for the tests of the
// parent: "crash" (SIGSEGV), "memory" (allocates without end), "hang" (sleeps for ever),
// "garbage" (writes what is no answer). Read only by the child.
constexpr const char* kImportChildTestHook = "ZEMVORA_IMPORT_CHILD_TEST";

// Runs the child: ends the process with status 0 once an answer is written.
int RunImportChild(const std::string& path);
