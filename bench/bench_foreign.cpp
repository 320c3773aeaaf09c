// What the import child costs: a file in another format imported as the program imports it (the
// program started again as the child, the scene on the pipe, read back with the scene-file
// reader) against the Open Asset Import Library's own load of the same file in this process,
// with the same steps after reading. The file is an OBJ of 2,000,000 triangles written first:
//   bench_foreign [--runs N]
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "childimport/ForeignImport.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

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

    std::vector<double> library, child;
    for (int run = 0; run < runs; ++run) {
        Clock::time_point start = Clock::now();
        {
            Assimp::Importer importer;
            const aiScene* scene =
                importer.ReadFile(file, aiProcess_Triangulate | aiProcess_SortByPType |
                                            aiProcess_JoinIdenticalVertices);
            if (!scene || scene->mNumMeshes == 0) return std::fprintf(stderr, "no scene\n"), 1;
        }
        library.push_back(Ms(start));

        start = Clock::now();
        Scene scene;
        const FileOutcome outcome = ImportForeignFile(file, scene);
        child.push_back(Ms(start));
        if (!outcome.ok)
            return std::fprintf(stderr, "%s %s\n", outcome.message.c_str(), outcome.reason.c_str()),
                   1;
        if (run == 0) {
            const SceneStatistics stats = CountStatistics(scene);
            std::printf("imported: %d objects, %d triangles, %d vertices\n", stats.objects,
                        stats.meshes, stats.vertices);
        }
    }
    const double a = Median(library), b = Median(child);
    std::printf("assimp ReadFile in this process: median %.0f ms (best %.0f) of %d runs\n", a,
                *std::min_element(library.begin(), library.end()), runs);
    std::printf("import through the child and the pipe: median %.0f ms (best %.0f)\n", b,
                *std::min_element(child.begin(), child.end()));
    std::printf("ratio: %.2f (target at most 1.2)\n", b / a);
    std::filesystem::remove(file);
    return 0;
}
