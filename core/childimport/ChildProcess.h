// Runs a program as a child process and collects what it writes to its standard output, within
// a wall-clock limit and a limit on the bytes: plain POSIX (posix_spawn, a pipe, poll, waitpid).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The descriptor on which a child may tell how far it has come: one byte a step, 0 to 100.
constexpr int kChildProgressFd = 3;

struct ChildLimits {
    int wallSeconds = 30;         // the child is killed when it runs longer
    uint64_t maxBytes = 1 << 30;  // the child is killed when it writes more
    // Asked about every 50 ms while the child runs, with the last step it told (-1 before any);
    // false stops the child.
    std::function<bool(int percent)> watch;
    // Bytes the child reads on its standard input, which stays alive meanwhile; none: the
    // child's standard input is /dev/null.
    const uint8_t* input = nullptr;
    size_t inputSize = 0;
};

// The bytes a child wrote, in one block grown in place: the system moves a large block by its page
// tables rather than copying it, and the pipe is read straight into the block's end.
class ChildOutput {
public:
    ChildOutput() = default;
    ~ChildOutput();
    ChildOutput(ChildOutput&& other) noexcept;
    ChildOutput& operator=(ChildOutput&& other) noexcept;
    ChildOutput(const ChildOutput&) = delete;
    ChildOutput& operator=(const ChildOutput&) = delete;

    const uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Room for at least n more bytes after the end; throws std::bad_alloc without the memory.
    uint8_t* Room(size_t n);
    // n bytes were written into the room.
    void Added(size_t n) { m_size += n; }

private:
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

struct ChildRun {
    bool started = false;    // false: the program could not be started (startError says why)
    int startError = 0;      // errno value
    bool timedOut = false;   // killed for running past the wall-clock limit
    bool tooMuch = false;    // killed for writing more than the byte limit
    bool cancelled = false;  // killed because the watch said so
    bool exited = false;     // ended by itself with exitCode; else killed by signal
    int exitCode = 0;
    int signal = 0;
    ChildOutput output;  // everything read from its standard output
};

// Starts program with args (args[0] is the program's own name for itself), standard input on
// the limits' input (written as the child reads it; a child that stops reading early ends the
// writing, without a signal) or /dev/null, standard error on /dev/null, standard output into a pipe
// and kChildProgressFd into another; reads until the output's pipe closes and the child has ended,
// or a limit is passed or the watch says stop, when the child is killed. Always waits for the
// child.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                  const ChildLimits& limits);
