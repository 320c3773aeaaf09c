// Time from starting the program with a file to its first drawn frame, as `zemvora FILE` does it:
// libraries loaded, window built, file loaded, first frame measured. Needs a display (run it
// under xvfb-run). Each run is a fresh process:
//   bench_startup [FILE] [--runs N]
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "MainFrame.h"
#include "QtPrompts.h"
#include "QuietMessages.h"
#include "SurfaceFormat.h"

namespace {

// Milliseconds since this process started, from the kernel's record of its start.
double MillisecondsSinceStart() {
    FILE* stat = std::fopen("/proc/self/stat", "r");
    if (!stat) return -1;
    char buffer[1024];
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, stat);
    std::fclose(stat);
    buffer[n] = 0;
    // Field 22, counted after the command name in parentheses.
    const char* p = std::strrchr(buffer, ')');
    unsigned long long startTicks = 0;
    for (int field = 3; p && field <= 22; ++field) {
        p = std::strchr(p + 1, ' ');
        if (field == 22 && p) startTicks = std::strtoull(p + 1, nullptr, 10);
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - startTicks / ticks) * 1000.0;
}

int RunOnce(int argc, char** argv, const std::string& file) {
    UseViewSurfaceFormat();
    QuietenToolkitMessages();
    QApplication app(argc, argv);
    QtPrompts prompts;
    CMainFrame frame(prompts);
    // Showing the window draws it once, empty, before the file is read: the frame that counts
    // is the first one after that.
    bool shown = false;
    bool reported = false;
    frame.View()->SetFrameRateHandler([&](float) {
        if (reported || !shown) return;
        reported = true;
        std::printf("%.1f\n", MillisecondsSinceStart());
        std::fflush(stdout);
        // exit, not quit: quit would close the window, which asks about the unsaved import.
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    });
    frame.show();
    shown = true;
    frame.LoadFromOutside(file);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    std::string file = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";
    int runs = 10;
    bool child = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--child") == 0)
            child = true;
        else
            file = argv[i];
    }
    if (child) return RunOnce(argc, argv, file);

    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const std::string command = std::string("'") + argv[0] + "' --child '" + file + "'";
        FILE* out = popen(command.c_str(), "r");
        double value = -1;
        if (out && std::fscanf(out, "%lf", &value) == 1) ms.push_back(value);
        if (out) pclose(out);
    }
    if (ms.empty()) {
        std::fprintf(stderr, "no run reached its first frame (is there a display?)\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "start to first frame of %s, %zu runs: best %.0f ms, median %.0f ms, worst %.0f ms\n",
        file.c_str(), ms.size(), ms.front(), ms[ms.size() / 2], ms.back());
    return 0;
}
