// What the import child costs: a file in another format imported as the program imports it (the
// program started again as the child, the scene in its output, read back with the scene-file
// reader) against the Open Asset Import Library's own load of the same file with the same steps
// after reading, each in a fresh process. The file is an OBJ of 2,000,000 triangles written first:
//   bench_foreign [--runs N]
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <sys/resource.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ChildRun.h"
#include "childimport/ForeignImport.h"

namespace {

// A grid of 1001 x 1001 vertices over a gentle wave, each cell two triangles: 2,000,000.
void WriteGridObj(const std::string& path) {
    std::ofstream out(path);
    constexpr int kSide = 1001;
    char line[96];
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            std::snprintf(line, sizeof line, "v %d %d %.4f\n", x, y, 0.01 * ((x * 7 + y * 3) % 97));
            out << line;
        }
    for (int y = 0; y + 1 < kSide; ++y)
        for (int x = 0; x + 1 < kSide; ++x) {
            const int a = y * kSide + x + 1, b = a + 1, c = a + kSide, d = c + 1;
            std::snprintf(line, sizeof line, "f %d %d %d\nf %d %d %d\n", a, b, d, a, d, c);
            out << line;
        }
}

// CPU time of this process and of its children that have ended, in milliseconds: the machine is
// shared, so the clock alone says as much about the others as about this.
double CpuMs() {
    double ms = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        ms += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--runs") runs = std::max(1, std::atoi(argv[++i]));
    const std::string file =
        (std::filesystem::temp_directory_path() / "zemvora-bench-grid.obj").string();
    WriteGridObj(file);
    std::printf("file: %s, %.1f MB, 2,000,000 triangles, 1,002,001 vertices\n", file.c_str(),
                std::filesystem::file_size(file) / 1e6);
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    ProcessForeignImportSettings().wallSeconds = 600;

    // Each run of each side in a fresh process, as the program's own process would load the file
    // once: a process that has loaded before reuses its heap and faults in far fewer pages.
    std::vector<double> library, child, libraryCpu, childCpu;
    for (int run = 0; run < runs; ++run) {
        const ChildResult own =
            RunInChild([] { return true; },
                       [&file](ChildNumbers& numbers) {
                           const double cpu = CpuMs();
                           Assimp::Importer importer;
                           const aiScene* scene = importer.ReadFile(
                               file, aiProcess_Triangulate | aiProcess_SortByPType |
                                         aiProcess_JoinIdenticalVertices);
                           numbers[0] = static_cast<int64_t>(CpuMs() - cpu);
                           return scene && scene->mNumMeshes > 0;
                       });
        const ChildResult ours = RunInChild(
            [] { return true; },
            [&file](ChildNumbers& numbers) {
                const double cpu = CpuMs();
                Scene scene;
                const FileOutcome outcome = ImportForeignFile(file, scene);
                numbers[0] = static_cast<int64_t>(CpuMs() - cpu);
                const SceneStatistics stats = CountStatistics(scene);
                numbers[1] = stats.objects, numbers[2] = stats.meshes, numbers[3] = stats.vertices;
                if (!outcome.ok)
                    std::fprintf(stderr, "%s %s\n", outcome.message.c_str(),
                                 outcome.reason.c_str());
                return outcome.ok;
            });
        if (!own.ok || !ours.ok) return std::fprintf(stderr, "a run failed\n"), 1;
        if (run == 0)
            std::printf("imported: %lld objects, %lld triangles, %lld vertices\n",
                        static_cast<long long>(ours.numbers[1]),
                        static_cast<long long>(ours.numbers[2]),
                        static_cast<long long>(ours.numbers[3]));
        library.push_back(own.ms);
        libraryCpu.push_back(static_cast<double>(own.numbers[0]));
        child.push_back(ours.ms);
        childCpu.push_back(static_cast<double>(ours.numbers[0]));
    }
    const double a = Median(library), b = Median(child);
    const double ac = Median(libraryCpu), bc = Median(childCpu);
    std::printf(
        "assimp ReadFile in a fresh process: median %.0f ms wall (best %.0f), %.0f ms CPU, "
        "of %d runs\n",
        a, *std::min_element(library.begin(), library.end()), ac, runs);
    std::printf(
        "import through the child and the pipe: median %.0f ms wall (best %.0f), %.0f ms "
        "CPU (child and program)\n",
        b, *std::min_element(child.begin(), child.end()), bc);
    std::printf("ratio: %.2f wall, %.2f CPU (target at most 1.2)\n", b / a, bc / ac);
    std::filesystem::remove(file);
    return 0;
}
