// Times the core file readers and writer on one large .3ds scene and prints a table:
//   bench_files [SCENE.3ds] [--runs N]
// Without a scene it builds the benchmark scene in a temporary folder first. Every run of every
// operation happens in a fresh child process (see ChildRun.h); the table shows the best and the
// median run. Other .3ds readers do the same import work in the same run for comparison.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchScene.h"
#include "bench/ChildRun.h"
#include "bench/OtherImporters.h"
#include "import3ds/Read3DS.h"
#include "scene/AtomicFile.h"
#include "scene/SceneFile.h"

namespace fs = std::filesystem;

namespace {

constexpr double kImportTargetMs = 70.0;
constexpr double kLoadTargetMBps = 2000.0;
constexpr double kPeakTargetRatio = 2.5;
constexpr double kImportPeakFileRatio = 2.2;

struct Row {
    std::string name;
    double bytes = 0;  // the file the operation reads or writes
    std::vector<ChildResult> runs;

    bool Ok() const {
        return !runs.empty() &&
               std::all_of(runs.begin(), runs.end(), [](const ChildResult& r) { return r.ok; });
    }
    double BestMs() const {
        double best = runs.front().ms;
        for (const ChildResult& r : runs)
            best = std::min(best, r.ms);
        return best;
    }
    double MedianMs() const {
        std::vector<double> ms;
        for (const ChildResult& r : runs)
            ms.push_back(r.ms);
        std::sort(ms.begin(), ms.end());
        const size_t n = ms.size();
        return n % 2 ? ms[n / 2] : 0.5 * (ms[n / 2 - 1] + ms[n / 2]);
    }
    int64_t PeakBytes() const {
        int64_t peak = 0;
        for (const ChildResult& r : runs)
            peak = std::max(peak, r.peakExtraBytes);
        return peak;
    }
};

double MBps(double bytes, double ms) {
    return ms > 0 ? bytes / 1e6 / (ms / 1e3) : 0;
}
double MB(double bytes) {
    return bytes / 1e6;
}

// Reads the whole file once, so that the measured runs find it in the page cache.
int64_t WarmFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    std::vector<char> block(1 << 20);
    int64_t total = 0;
    size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), file)) > 0)
        total += static_cast<int64_t>(got);
    std::fclose(file);
    return total;
}

Row Measure(const std::string& name, double bytes, int runs, const std::function<bool()>& prepare,
            const std::function<bool(ChildNumbers&)>& work) {
    Row row;
    row.name = name;
    row.bytes = bytes;
    for (int i = 0; i < runs; ++i)
        row.runs.push_back(RunInChild(prepare, work));
    return row;
}

bool ImportInto(const std::string& path, Scene& scene) {
    int error = 0;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(path, error);
    return in && Read3DS(*in, scene) == Read3dsResult::Read;
}

int64_t OwnSize(const Scene& scene) {
    int64_t bytes = 0;
    for (const SceneObject& o : scene.m_objects)
        bytes += static_cast<int64_t>(o.vertices.size() * sizeof(SceneVertex) +
                                      o.meshes.size() * sizeof(SceneMesh));
    return bytes;
}

void PrintRow(const Row& row, double ownSize) {
    if (!row.Ok()) {
        std::printf("%-34s  failed\n", row.name.c_str());
        return;
    }
    const double best = row.BestMs(), median = row.MedianMs();
    const double peak = static_cast<double>(row.PeakBytes());
    std::printf("%-34s %8.1f %8.1f %8.0f %8.0f %9.1f %6.2f %6.2f\n", row.name.c_str(), best, median,
                MBps(row.bytes, best), MBps(row.bytes, median), MB(peak), peak / ownSize,
                peak / row.bytes);
}

// What another reader reported holding after its first run; unused when none was found.
[[maybe_unused]] std::string CountsText(const Row& row) {
    if (!row.Ok()) return "failed";
    const ChildNumbers& n = row.runs.front().numbers;
    return "holds " + std::to_string(n[0]) + " meshes, " + std::to_string(n[1]) + " vertices, " +
           std::to_string(n[2]) + " triangles";
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

}  // namespace

int main(int argc, char** argv) {
    std::string scenePath;
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (argv[i][0] != '-' && scenePath.empty()) {
            scenePath = argv[i];
        } else {
            std::fprintf(stderr, "usage: bench_files [SCENE.3ds] [--runs N]\n");
            return 2;
        }
    }

    std::error_code ec;
    std::string folderTemplate = (fs::temp_directory_path(ec) / "zemvora-bench-XXXXXX").string();
    if (!mkdtemp(folderTemplate.data())) {
        std::fprintf(stderr, "bench_files: cannot make a temporary folder\n");
        return 1;
    }
    const fs::path folder = folderTemplate;
    if (scenePath.empty()) {
        scenePath = (folder / "bench_scene.3ds").string();
        std::printf("building the benchmark scene in %s\n", scenePath.c_str());
        if (!WriteBenchScene(scenePath)) {
            std::fprintf(stderr, "bench_files: cannot write %s\n", scenePath.c_str());
            return 1;
        }
    }
    const std::string zmvPath = (folder / "bench_scene.zmv").string();
    const std::string savePath = (folder / "saved.zmv").string();

    const int64_t sceneBytes = WarmFile(scenePath);
    if (sceneBytes <= 0) {
        std::fprintf(stderr, "bench_files: cannot read %s\n", scenePath.c_str());
        return 1;
    }

    // One import outside the measured runs: the counts, and the .zmv file the loads read.
    const ChildResult info = RunInChild([] { return true; },
                                        [&](ChildNumbers& n) {
                                            Scene scene;
                                            if (!ImportInto(scenePath, scene)) return false;
                                            const SceneStatistics s = CountStatistics(scene);
                                            n = {s.objects, s.vertices, s.meshes,       s.materials,
                                                 s.lights,  s.cameras,  OwnSize(scene), 0};
                                            int error = 0;
                                            return SaveSceneFile(zmvPath, scene, error);
                                        });
    if (!info.ok) {
        std::fprintf(stderr, "bench_files: %s does not import, or its .zmv cannot be saved\n",
                     scenePath.c_str());
        return 1;
    }
    const int64_t zmvBytes = WarmFile(zmvPath);
    const double ownSize = static_cast<double>(info.numbers[6]);

    std::printf("scene file   %s\n", scenePath.c_str());
    std::printf(
        "             %lld bytes (%.1f MB), %lld objects, %lld vertices, %lld triangles,\n"
        "             %lld materials, %lld lights, %lld cameras\n",
        static_cast<long long>(sceneBytes), MB(static_cast<double>(sceneBytes)),
        static_cast<long long>(info.numbers[0]), static_cast<long long>(info.numbers[1]),
        static_cast<long long>(info.numbers[2]), static_cast<long long>(info.numbers[3]),
        static_cast<long long>(info.numbers[4]), static_cast<long long>(info.numbers[5]));
    std::printf(".zmv file    %lld bytes (%.1f MB)\n", static_cast<long long>(zmvBytes),
                MB(static_cast<double>(zmvBytes)));
    std::printf("own size     %.1f MB: vertices x %zu B + triangles x %zu B\n", MB(ownSize),
                sizeof(SceneVertex), sizeof(SceneMesh));
    std::printf("runs         %d per operation, each in a fresh child process, files cached\n",
                runs);
    std::printf("peak memory  %s\n\n", PeakMemoryMethod());

    // Each child keeps what it built here; its exit drops it, outside the measured time.
    std::unique_ptr<Scene> scene;
    auto nothing = [] { return true; };
    std::vector<Row> rows;
    rows.push_back(Measure("import .3ds: Read3DS", static_cast<double>(sceneBytes), runs, nothing,
                           [&](ChildNumbers&) {
                               scene = std::make_unique<Scene>();
                               return ImportInto(scenePath, *scene);
                           }));
    rows.push_back(Measure(
        "save .zmv: SaveSceneFile", static_cast<double>(zmvBytes), runs,
        [&] {
            scene = std::make_unique<Scene>();
            return ImportInto(scenePath, *scene);
        },
        [&](ChildNumbers&) {
            int error = 0;
            return SaveSceneFile(savePath, *scene, error);
        }));
    rows.push_back(Measure(
        "load .zmv: ReadScene", static_cast<double>(zmvBytes), runs,
        [&] {
            scene = std::make_unique<Scene>();
            scene->ClearScene();
            return true;
        },
        [&](ChildNumbers&) {
            int error = 0;
            std::unique_ptr<InputStream> in = InputStream::OpenFile(zmvPath, error);
            return in && ReadScene(*in, *scene) == ReadSceneResult::Read;
        }));
    std::vector<std::string> notes;
#if defined(ZEMVORA_HAVE_LIB3DS)
    rows.push_back(Measure("import .3ds: lib3ds 1.3", static_cast<double>(sceneBytes), runs,
                           nothing,
                           [&](ChildNumbers& n) { return ImportWithLib3ds(scenePath, n); }));
    notes.push_back(
        "lib3ds: lib3ds_file_load (computes face normals), lib3ds_mesh_calculate_normals"
        " per mesh,\n        lib3ds_file_bounding_box_of_objects; " +
        CountsText(rows.back()));
#else
    notes.push_back("lib3ds: not found when this was built, no comparison");
#endif
#if defined(ZEMVORA_HAVE_ASSIMP)
    rows.push_back(Measure("import .3ds: assimp " + AssimpVersionText(),
                           static_cast<double>(sceneBytes), runs, nothing,
                           [&](ChildNumbers& n) { return ImportWithAssimp(scenePath, n); }));
    notes.push_back("assimp: Importer::ReadFile with " + AssimpFlagsText() +
                    ";\n        its 3DS loader computes smoothing-group normals itself and keeps "
                    "3 vertices per triangle;\n        " +
                    CountsText(rows.back()));
#else
    notes.push_back("assimp: not found when this was built, no comparison");
#endif

    std::printf("%-34s %8s %8s %8s %8s %9s %6s %6s\n", "operation", "best", "median", "MB/s",
                "MB/s", "peak", "x own", "x file");
    std::printf("%-34s %8s %8s %8s %8s %9s %6s %6s\n", "", "ms", "ms", "best", "median", "extra MB",
                "size", "size");
    for (const Row& row : rows)
        PrintRow(row, ownSize);
    std::printf(
        "\nMB = 10^6 bytes. MB/s = size of the file read or written / time. Peak extra = "
        "highest resident\nmemory during the operation minus resident memory at its "
        "start (largest over the runs), also\nover the size of the file read or written.\n");
    for (const std::string& note : notes)
        std::printf("%s\n", note.c_str());

    const Row& import = rows[0];
    const Row& save = rows[1];
    const Row& load = rows[2];
    if (import.Ok() && save.Ok() && load.Ok()) {
        const double worstRatio =
            static_cast<double>(std::max(import.PeakBytes(), load.PeakBytes())) / ownSize;
        std::printf("\ntargets, judged on the median run\n");
        std::printf("  import .3ds <= %.0f ms            %8.1f ms      %s\n", kImportTargetMs,
                    import.MedianMs(), Verdict(import.MedianMs() <= kImportTargetMs));
        const double importFileRatio = static_cast<double>(import.PeakBytes()) / import.bytes;
        std::printf("  import peak <= %.1f x file size   %8.2f x       %s\n", kImportPeakFileRatio,
                    importFileRatio, Verdict(importFileRatio <= kImportPeakFileRatio));
        std::printf("  load .zmv >= %.0f MB/s          %8.0f MB/s    %s\n", kLoadTargetMBps,
                    MBps(load.bytes, load.MedianMs()),
                    Verdict(MBps(load.bytes, load.MedianMs()) >= kLoadTargetMBps));
        std::printf(
            "  peak <= %.1f x own size           %8.2f x       %s  (import %.2f, load "
            "%.2f, save %.2f)\n",
            kPeakTargetRatio, worstRatio, Verdict(worstRatio <= kPeakTargetRatio),
            static_cast<double>(import.PeakBytes()) / ownSize,
            static_cast<double>(load.PeakBytes()) / ownSize,
            static_cast<double>(save.PeakBytes()) / ownSize);
    }

    fs::remove_all(folder, ec);
    return 0;
}
