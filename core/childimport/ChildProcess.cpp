#include "childimport/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <new>
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
    std::free(m_data);
}

ChildOutput::ChildOutput(ChildOutput&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)) {}

ChildOutput& ChildOutput::operator=(ChildOutput&& other) noexcept {
    if (this != &other) {
        std::free(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

uint8_t* ChildOutput::Room(size_t n) {
    if (m_capacity - m_size < n) {
        const size_t capacity = std::max(m_size + n, m_capacity * 2);
        void* grown = std::realloc(m_data, capacity);
        if (!grown) throw std::bad_alloc();
        m_data = static_cast<uint8_t*>(grown);
        m_capacity = capacity;
    }
    return m_data + m_size;
}

ChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                  const ChildLimits& limits) {
    ChildRun run;
    int fds[2];
    int progress[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        run.startError = errno;
        return run;
    }
    InputFeed input(limits.input, limits.inputSize);
    if (pipe2(progress, O_CLOEXEC | O_NONBLOCK) != 0 || !input.Open()) {
        run.startError = errno;
        close(fds[0]);
        close(fds[1]);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (input.Given())
        posix_spawn_file_actions_adddup2(&actions, input.ChildEnd(), STDIN_FILENO);
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
    close(fds[1]);
    close(progress[1]);
    input.Started();
    if (spawned != 0) {
        close(fds[0]);
        close(progress[0]);
        run.startError = spawned;
        return run;
    }
    run.started = true;

    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.wallSeconds);
    bool open = true;
    int percent = -1;
#if defined(F_SETPIPE_SZ)
    // A larger pipe wakes the reader less often for a large answer; the system may refuse.
    fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);
#endif
    constexpr size_t kReadBytes = size_t{1} << 20;
    while (open) {
        // A descriptor of -1 is not waited on.
        pollfd wait[3] = {
            {fds[0], POLLIN, 0}, {progress[0], POLLIN, 0}, {input.Waiting(), POLLOUT, 0}};
        // The watch is asked at least every 50 ms; without one, the deadline is the only limit.
        const int timeout = std::min(MillisecondsLeft(deadline), limits.watch ? 50 : INT32_MAX);
        const int ready = poll(wait, 3, timeout);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || MillisecondsLeft(deadline) == 0) {
            run.timedOut = true;
            break;
        }
        if (progress[0] >= 0 && wait[1].revents) {
            uint8_t steps[256];
            const ssize_t got = read(progress[0], steps, sizeof steps);
            if (got > 0) percent = std::min<int>(steps[got - 1], 100);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
                close(progress[0]);
                progress[0] = -1;
            }
        }
        if (input.Waiting() >= 0 && wait[2].revents) input.Send();
        if (limits.watch && !limits.watch(percent)) {
            run.cancelled = true;
            break;
        }
        if (!(wait[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t n = read(fds[0], run.output.Room(kReadBytes), kReadBytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            open = false;
            break;
        }
        if (run.output.size() + static_cast<size_t>(n) > limits.maxBytes) {
            run.tooMuch = true;
            break;
        }
        run.output.Added(static_cast<size_t>(n));
    }
    close(fds[0]);
    if (progress[0] >= 0) close(progress[0]);

    // A child that closed its output may still hang: it gets what is left of the time.
    int status = 0;
    while (!run.timedOut && !run.tooMuch && !run.cancelled) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            Finish(run, status);
            return run;
        }
        if (done < 0 && errno != EINTR) return run;
        if (MillisecondsLeft(deadline) == 0) {
            run.timedOut = true;
            break;
        }
        poll(nullptr, 0, 2);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    Finish(run, status);
    return run;
}
