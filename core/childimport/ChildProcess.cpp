#include "childimport/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// The parent's end of the child's standard input: the bytes go out as the child reads them.
class InputFeed {
public:
    InputFeed(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}
    ~InputFeed() { Close(); }

    // A connected pair of sockets rather than a pipe: a send to a child that stopped reading
    // fails with EPIPE instead of raising SIGPIPE in the program.
    bool Open() {
        if (!m_data) return true;
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
        m_fd = ends[0], m_childEnd = ends[1];
        shutdown(m_fd, SHUT_RD);
        return true;
    }
    bool Given() const { return m_data != nullptr; }
    int ChildEnd() const { return m_childEnd; }
    void Started() {
        if (m_childEnd >= 0) close(m_childEnd);
        m_childEnd = -1;
        if (m_fd >= 0 && m_left == 0) Close();
    }
    // The descriptor to wait on while bytes are left, else -1.
    int Waiting() const { return m_fd; }
    // Sends what the socket takes now; ends the input once all is sent or the child is gone.
    void Send() {
        constexpr size_t kChunk = size_t{1} << 20;
        const ssize_t sent =
            send(m_fd, m_data, std::min(m_left, kChunk), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (sent <= 0) {
            Close();
            return;
        }
        m_data += sent;
        m_left -= static_cast<size_t>(sent);
        if (m_left == 0) Close();
    }

private:
    void Close() {
        if (m_fd >= 0) close(m_fd);
        if (m_childEnd >= 0) close(m_childEnd);
        m_fd = m_childEnd = -1;
    }

    const uint8_t* m_data;
    size_t m_left;
    int m_fd = -1, m_childEnd = -1;
};

// The size of the child's output file: past the byte limit by more than the system writes into
// such a file at a time (a page, or a huge page of 2 MiB), so that an output longer than the
// limit is written to past it, and shows as longer; within the file size limit the parent runs
// under (`ulimit -f`), past which making the file would fail.
uint64_t OutputFileSize(uint64_t maxBytes) {
    constexpr uint64_t kBeyond = uint64_t{4} << 20;
    uint64_t size = std::min<uint64_t>(maxBytes, INT64_MAX - kBeyond) + kBeyond;
    rlimit fileSize{};
    if (getrlimit(RLIMIT_FSIZE, &fileSize) == 0 && fileSize.rlim_cur != RLIM_INFINITY)
        size = std::min<uint64_t>(size, fileSize.rlim_cur);
    return size;
}

// Kills a child not yet reaped and waits for it.
void Stop(pid_t pid, int& status) {
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

void Finish(ChildRun& run, int status) {
    if (WIFEXITED(status)) {
        run.exited = true;
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
}

}  // namespace

ChildOutput::~ChildOutput() {
    Release();
}

ChildOutput::ChildOutput(ChildOutput&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_fd(std::exchange(other.m_fd, -1)) {}

ChildOutput& ChildOutput::operator=(ChildOutput&& other) noexcept {
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void ChildOutput::Release() {
    if (m_data) munmap(const_cast<uint8_t*>(m_data), m_size);
    if (m_fd >= 0) close(m_fd);
    m_data = nullptr, m_size = 0, m_fd = -1;
}

void ChildOutput::ReleaseAside(ChildOutput&& output) {
    try {
        std::thread([held = std::move(output)] {}).detach();
    } catch (const std::system_error&) {
        output.Release();
    }
}

bool ChildOutput::Map(int fd, size_t size, size_t from) {
    Release();
    m_fd = fd;
    // Nothing can change the bytes while they are read: a process that still held the file
    // writable (or mapped so) makes the seal fail, and the output counts as none.
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL) != 0) {
        Release();
        return false;
    }
    if (size == 0) return true;
    void* mapped =
        mmap(nullptr, size, PROT_READ, MAP_SHARED | (from == 0 ? MAP_POPULATE : 0), fd, 0);
    if (mapped == MAP_FAILED) {
        Release();
        return false;
    }
    // What is read again is read at once; a system without the advice faults it in as read.
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t start = from / page * page;
    if (from > 0 && start < size)
        madvise(static_cast<uint8_t*>(mapped) + start, size - start, MADV_POPULATE_READ);
    m_data = static_cast<const uint8_t*>(mapped);
    m_size = size;
    return true;
}

// A read-only view of the output file while the child still writes it. It is private, so that
// it does not keep the file from being sealed against writing, and it goes before that.
class EarlyView {
public:
    EarlyView() = default;
    ~EarlyView() { reset(); }
    EarlyView(const EarlyView&) = delete;
    EarlyView& operator=(const EarlyView&) = delete;

    // The file's first size bytes, mapped at the first call; null when they cannot be.
    const uint8_t* Of(int fd, size_t size) {
        if (!m_data && !m_failed) {
            void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            m_failed = mapped == MAP_FAILED;
            if (!m_failed) m_data = static_cast<const uint8_t*>(mapped), m_size = size;
        }
        return m_data;
    }
    void reset() {
        if (m_data) munmap(const_cast<uint8_t*>(m_data), m_size);
        m_data = nullptr;
    }

private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    bool m_failed = false;
};

// What a started child's wait needs.
struct StartedChild::State {
    explicit State(const ChildLimits& given) : limits(given), input(given.input, given.inputSize) {}
    ~State() {
        int status = 0;
        if (pid > 0) Stop(pid, status);
        for (int fd : {answer, progress, ended})
            if (fd >= 0) close(fd);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    ChildLimits limits;
    InputFeed input;
    ChildRun run;
    uint64_t room = 0;  // the output file's size
    pid_t pid = -1;     // until it is waited for
    int answer = -1, progress = -1, ended = -1;
    Clock::time_point deadline;
    EarlyView early;
    size_t consumed = 0;  // of the output, what the partial reader has read for good
    size_t dropped = 0;   // the whole megabytes of that given back

    // Shows the output so far to the limits' partial reader, and gives back the memory of what
    // it has read for good: a large answer is not held twice, as bytes and as what was read.
    void ShowPartial(off_t bytes) {
        if (bytes <= 0 || static_cast<uint64_t>(bytes) > room) return;
        if (const uint8_t* data = early.Of(answer, static_cast<size_t>(room)))
            consumed = std::min(limits.partial(data, static_cast<size_t>(bytes)),
                                static_cast<size_t>(bytes));
        constexpr size_t kStep = size_t{1} << 20;
        const size_t whole = consumed & ~(kStep - 1);
        if (whole > dropped &&
            fallocate(answer, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE,
                      static_cast<off_t>(dropped), static_cast<off_t>(whole - dropped)) == 0)
            dropped = whole;
    }
};

StartedChild::~StartedChild() = default;

StartedChild::StartedChild(const std::string& program, const std::vector<std::string>& args,
                           const ChildLimits& limits)
    : m_state(std::make_unique<State>(limits)) {
    State& state = *m_state;
    ChildRun& run = state.run;
    // The standard output: a file in memory that cannot grow, so that a child cannot write much
    // more than the limit. Its pages are only taken as they are written.
    state.room = OutputFileSize(limits.maxBytes);
    state.answer = memfd_create("zemvora-child-output", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (state.answer < 0 || ftruncate(state.answer, static_cast<off_t>(state.room)) != 0 ||
        fcntl(state.answer, F_ADD_SEALS, F_SEAL_GROW | F_SEAL_SHRINK) != 0) {
        run.startError = errno;
        return;
    }
    int progress[2];
    if (pipe2(progress, O_CLOEXEC | O_NONBLOCK) != 0 || !state.input.Open()) {
        run.startError = errno;
        return;
    }
    state.progress = progress[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, state.answer, STDOUT_FILENO);
    if (state.input.Given())
        posix_spawn_file_actions_adddup2(&actions, state.input.ChildEnd(), STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, progress[1], kChildProgressFd);
    // Nothing else of the program's (its window's connection, open files) reaches the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, kChildProgressFd + 1);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    // The parent ignores the file size signal so that its own saves fail with a reason; a child
    // starts with it as the system has it, so that a child past the limit ends by it and its
    // failure says so.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGXFSZ);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(progress[1]);
    state.input.Started();
    if (spawned != 0) {
        run.startError = spawned;
        return;
    }
    run.started = true;
    state.pid = pid;
    state.deadline = Clock::now() + std::chrono::seconds(limits.wallSeconds);
    // Readable once the child has ended; the child is not reaped until it is waited for.
    // (The system call itself: Debian 12's C library declares its wrapper without C linkage.)
    state.ended = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

namespace {

// Takes the steps the child has told on its progress pipe: percent becomes the last. The pipe is
// closed once the child has closed its end.
void ReadProgress(int& pipe, int& percent) {
    uint8_t steps[256];
    const ssize_t got = read(pipe, steps, sizeof steps);
    if (got > 0) percent = std::min<int>(steps[got - 1], 100);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
        close(pipe);
        pipe = -1;
    }
}

}  // namespace

ChildRun StartedChild::Wait() {
    State& state = *m_state;
    ChildRun& run = state.run;
    if (!run.started) return std::move(run);
    const ChildLimits& limits = state.limits;
    InputFeed& input = state.input;
    int percent = -1, told = -1;
    int status = 0;
    bool reaped = false;
    // The child wrote through the descriptor the parent shares with it, so where the parent's
    // stands is how far it wrote.
    const auto written = [&] { return lseek(state.answer, 0, SEEK_CUR); };
    const auto tooMuch = [&](off_t bytes) {
        return bytes >= 0 && (static_cast<uint64_t>(bytes) > limits.maxBytes ||
                              static_cast<uint64_t>(bytes) >= state.room);
    };
    while (!reaped) {
        // A descriptor of -1 is not waited on. Without a pidfd, the end is looked for every 10 ms.
        pollfd wait[3] = {
            {state.ended, POLLIN, 0}, {state.progress, POLLIN, 0}, {input.Waiting(), POLLOUT, 0}};
        // The watch is asked at least every 50 ms, how far the child wrote looked at every 100 ms.
        int timeout = std::min(MillisecondsLeft(state.deadline), limits.watch ? 50 : 100);
        if (state.ended < 0 || limits.partial) timeout = std::min(timeout, 10);
        const int ready = poll(wait, 3, timeout);
        if (ready < 0 && errno != EINTR) {
            run.timedOut = true;
            break;
        }
        if (ready > 0 && state.progress >= 0 && wait[1].revents)
            ReadProgress(state.progress, percent);
        if (ready > 0 && input.Waiting() >= 0 && wait[2].revents) input.Send();
        const pid_t done = waitpid(state.pid, &status, WNOHANG);
        if (done == state.pid) {
            reaped = true;
            break;
        }
        if (done < 0 && errno != EINTR) break;
        // A child that keeps writing past the limit is stopped at once.
        const off_t sofar = written();
        if (tooMuch(sofar)) {
            run.tooMuch = true;
            break;
        }
        if (MillisecondsLeft(state.deadline) == 0) {
            run.timedOut = true;
            break;
        }
        if (limits.watch && !limits.watch(told = percent)) {
            run.cancelled = true;
            break;
        }
        if (limits.partial) state.ShowPartial(sofar);
    }
    // The steps a child told just before it ended are heard too.
    if (reaped && limits.watch && state.progress >= 0) {
        ReadProgress(state.progress, percent);
        if (percent != told) limits.watch(percent);
    }
    if (!reaped) Stop(state.pid, status);
    state.pid = -1;
    state.early.reset();
    Finish(run, status);
    const off_t bytes = written();
    if (reaped && tooMuch(bytes)) run.tooMuch = true;
    // The output takes the file; else it stays empty.
    if (reaped && !run.tooMuch && bytes >= 0)
        run.output.Map(std::exchange(state.answer, -1), static_cast<size_t>(bytes), state.consumed);
    return std::move(run);
}

ChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                  const ChildLimits& limits) {
    return StartedChild(program, args, limits).Wait();
}
