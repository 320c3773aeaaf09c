#include "bench/ChildRun.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A "kB" line of /proc/self/status in bytes, or -1.
int64_t StatusBytes(const char* key) {
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (!file) return -1;
    char line[256];
    int64_t bytes = -1;
    const size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            bytes = std::stoll(line + keyLength + 1) * 1024;
            break;
        }
    }
    std::fclose(file);
    return bytes;
}

// Sets the kernel's resident high-water mark back to the current resident size.
bool ResetPeak() {
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (!file) return false;
    const bool written = std::fputs("5", file) >= 0;
    return std::fclose(file) == 0 && written;
}

int64_t MaxRssBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<int64_t>(usage.ru_maxrss) * 1024;
}

// Whether the high-water mark can be reset here; checked once, in the parent.
bool CanResetPeak() {
    static const bool can = ResetPeak() && StatusBytes("VmHWM") >= 0;
    return can;
}

bool WriteAll(int fd, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t written = write(fd, p, n);
        if (written <= 0) return false;
        p += written;
        n -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, void* data, size_t n) {
    char* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t got = read(fd, p, n);
        if (got <= 0) return false;
        p += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

[[noreturn]] void ChildMain(int fd, const std::function<bool()>& prepare,
                            const std::function<bool(ChildNumbers&)>& work, bool resetPeak) {
    ChildResult result;
    if (prepare()) {
        int64_t before;
        if (resetPeak) {
            ResetPeak();
            before = StatusBytes("VmHWM");
        } else {
            before = MaxRssBytes();
        }
        const auto start = std::chrono::steady_clock::now();
        result.ok = work(result.numbers);
        const auto end = std::chrono::steady_clock::now();
        const int64_t after = resetPeak ? StatusBytes("VmHWM") : MaxRssBytes();
        result.ms = std::chrono::duration<double, std::milli>(end - start).count();
        result.peakExtraBytes = after - before;
    }
    const bool sent = WriteAll(fd, &result, sizeof result);
    // No destructors or exit handlers: the parent owns everything the child inherited.
    _exit(sent ? 0 : 1);
}

}  // namespace

ChildResult RunInChild(const std::function<bool()>& prepare,
                       const std::function<bool(ChildNumbers&)>& work) {
    const bool resetPeak = CanResetPeak();
    int fds[2];
    if (pipe(fds) != 0) return ChildResult{};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return ChildResult{};
    }
    if (child == 0) {
        close(fds[0]);
        ChildMain(fds[1], prepare, work, resetPeak);
    }
    close(fds[1]);
    ChildResult result;
    const bool received = ReadAll(fds[0], &result, sizeof result);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return ChildResult{};
    return result;
}

const char* PeakMemoryMethod() {
    return CanResetPeak() ? "VmHWM after resetting it through /proc/self/clear_refs"
                          : "ru_maxrss before and after (an earlier, higher peak hides growth)";
}
