// A process that reads or writes files it cannot trust restricts itself for good before it
// looks at them, so that a model exploiting a bug in a reader can do no more than the process
// needs: read the model's folder and the system's libraries, write into one folder where it is
// to write, and nothing else. Landlock limits the files and TCP ports; seccomp forbids the
// system calls no reader needs (sockets, running programs, debugging others, mounting, loading
// kernel code), and a forbidden call kills the process with SIGSYS.
#pragma once

#include <string>
#include <vector>

struct SandboxRules {
    std::vector<std::string> readable;  // files and folders, with all beneath them
    std::vector<std::string> writable;  // folders in which files may be created and written
    // Whether making a socket fails instead of ending the process: for a process whose libraries
    // may look the user up over a socket (the system's name service) while they set up.
    bool socketsFail = false;
};

// How far the kernel let the process restrict itself.
enum class SandboxLevel {
    Full,         // Landlock and seccomp
    SeccompOnly,  // the kernel has no Landlock
    None,         // neither: the process runs as before
};

// Restricts the calling process for good. Called before the process starts a thread, as both
// restrictions bind only the thread that makes them and the threads it starts after. A path of
// the rules that is not there is left out.
SandboxLevel EnterSandbox(const SandboxRules& rules);

// What the running kernel lets a process restrict itself with, found without restricting it.
SandboxLevel KernelSandboxLevel();

// The folders of the system's libraries and data that a reader may need to read.
std::vector<std::string> SystemReadableFolders();

// The line a report gives for a level short of Full, or "".
std::string SandboxNote(SandboxLevel level, const std::string& who);
