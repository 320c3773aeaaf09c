// How long a file manager waits for a preview: `zemvora --thumbnail SIZE FILE OUT.png` run as a
// fresh process, start to exit, on the benchmark scene (built first) or a given file:
//   bench_thumbnail [FILE] [--size N] [--runs N]
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchScene.h"

namespace {

// Runs the program once; the wall time in milliseconds, or -1 when it failed.
double RunOnce(const std::string& file, const std::string& size, const std::string& output) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(ZEMVORA_EXE, ZEMVORA_EXE, "--thumbnail", size.c_str(), file.c_str(), output.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    std::string size = "256";
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--size" && i + 1 < argc)
            size = argv[++i];
        else
            file = a;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string output = (folder / "zemvora-bench-thumbnail.png").string();
    bool madeScene = false;
    if (file.empty()) {
        file = (folder / "zemvora-bench-thumbnail.3ds").string();
        if (!WriteBenchScene(file)) {
            std::fprintf(stderr, "can not write %s\n", file.c_str());
            return 1;
        }
        madeScene = true;
    }

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double ms = RunOnce(file, size, output);
        if (ms < 0) {
            std::fprintf(stderr, "zemvora --thumbnail failed on %s\n", file.c_str());
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("thumbnail %s px of %s: best %.0f ms, median %.0f ms over %d runs\n", size.c_str(),
                file.c_str(), times.front(), median, runs);
    std::printf("target under 1000 ms (median): %s\n", median < 1000 ? "met" : "missed");
    std::remove(output.c_str());
    if (madeScene) std::remove(file.c_str());
    return 0;
}
