// Runs a program as a child process and collects what it writes to its standard output, within
// a wall-clock limit and a limit on the bytes: posix_spawn, poll and waitpid, with the standard
// output in a file in memory (Linux's memfd) that the parent maps once the child has ended.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The descriptor on which a child may tell how far it has come: one byte a step, 0 to 100.
constexpr int kChildProgressFd = 3;

struct ChildLimits {
    int wallSeconds = 30;         // the child is killed when it runs longer
    uint64_t maxBytes = 1 << 30;  // a child that writes more is stopped (tooMuch)
    // Asked about every 50 ms while the child runs, with the last step it told (-1 before any);
    // false stops the child.
    std::function<bool(int percent)> watch;
    // Shown, about every 10 ms while the child runs, the first size bytes it has written to its
    // standard output so far, which it may still change; for a reader that takes the output as
    // it comes. It returns how many of the first bytes it has read for good: their memory is
    // given back (whole megabytes of it) and they are not brought into memory again for the
    // output at the end, where they read as zeros.
    std::function<size_t(const uint8_t* data, size_t size)> partial;
    // Bytes the child reads on its standard input, which stays alive meanwhile; none: the
    // child's standard input is /dev/null.
    const uint8_t* input = nullptr;
    size_t inputSize = 0;
};

// The bytes a child wrote, mapped from the file in memory its standard output went to: the
// parent neither copies them nor asks for memory of its own to hold them. The file is sealed
// against any change before it is mapped.
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
    // Maps the first size bytes of fd, which it takes, and brings those from byte `from` on into
    // memory; false (and empty) when they cannot be.
    bool Map(int fd, size_t size, size_t from = 0);
    // Lets the bytes go on a thread of its own, as unmapping and freeing a large output takes a
    // while; here where no thread can start.
    static void ReleaseAside(ChildOutput&& output);

private:
    void Release();

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    int m_fd = -1;
};

struct ChildRun {
    bool started = false;    // false: the program could not be started (startError says why)
    int startError = 0;      // errno value
    bool timedOut = false;   // killed for running past the wall-clock limit
    bool tooMuch = false;    // its output was longer than the byte limit
    bool cancelled = false;  // killed because the watch said so
    bool exited = false;     // ended by itself with exitCode; else killed by signal
    int exitCode = 0;
    int signal = 0;
    ChildOutput output;  // everything it wrote to its standard output
};

// Starts program with args (args[0] is the program's own name for itself), standard input on
// the limits' input (written as the child reads it; a child that stops reading early ends the
// writing, without a signal) or /dev/null, standard error on /dev/null, standard output into a
// file in memory that cannot grow far past the byte limit and kChildProgressFd into a pipe; waits
// until the child has ended, or the time is up, the watch says stop or the output is longer than
// the byte limit (tooMuch), when it is killed. Always waits for the child.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                  const ChildLimits& limits);

// The same in two steps, so that the parent can do work of its own while the child runs: the
// child is started at once and waited for by Wait (once). A child not waited for is killed and
// reaped when this goes.
class StartedChild {
public:
    StartedChild(const std::string& program, const std::vector<std::string>& args,
                 const ChildLimits& limits);
    ~StartedChild();
    StartedChild(const StartedChild&) = delete;
    StartedChild& operator=(const StartedChild&) = delete;
    ChildRun Wait();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
