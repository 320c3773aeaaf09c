// What the sandbox costs a child: fresh processes each restrict themselves as the import child
// does (Landlock and seccomp over the model's folder and the system's libraries), timed from
// before the call to after it; prints the median and the largest of 50, in milliseconds.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "sandbox/Sandbox.h"

int main() {
    constexpr int kRuns = 50;
    std::vector<double> costs;
    for (int run = 0; run < kRuns; ++run) {
        int fds[2];
        if (pipe(fds) != 0) return 1;
        const pid_t pid = fork();
        if (pid == 0) {
            const auto start = std::chrono::steady_clock::now();
            SandboxRules rules;
            rules.readable = SystemReadableFolders();
            rules.readable.push_back("/tmp");
            const SandboxLevel level = EnterSandbox(rules);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            const double answer[2] = {ms, static_cast<double>(level)};
            if (write(fds[1], answer, sizeof answer) != sizeof answer) _exit(1);
            _exit(0);
        }
        double answer[2] = {0, 0};
        if (read(fds[0], answer, sizeof answer) != sizeof answer) return 1;
        waitpid(pid, nullptr, 0);
        close(fds[0]);
        close(fds[1]);
        if (run == 0)
            std::printf("sandbox level: %s\n", answer[1] == 0   ? "Landlock and seccomp"
                                               : answer[1] == 1 ? "seccomp alone"
                                                                : "none");
        costs.push_back(answer[0]);
    }
    std::sort(costs.begin(), costs.end());
    std::printf("entering the sandbox: median %.3f ms, largest %.3f ms of %d\n",
                costs[costs.size() / 2], costs.back(), kRuns);
    return 0;
}
