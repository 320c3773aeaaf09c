// Writes the benchmark's large .3ds scene: make_bench_scene OUT.3ds
#include <cstdio>

#include "bench/BenchScene.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_scene OUT.3ds\n");
        return 2;
    }
    BenchSceneCounts counts;
    if (!WriteBenchScene(argv[1], &counts)) {
        std::fprintf(stderr, "make_bench_scene: cannot write %s\n", argv[1]);
        return 1;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    long size = -1;
    if (file && std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (file) std::fclose(file);
    std::printf("%s: %ld bytes, %zu objects, %zu vertices, %zu triangles, %zu materials\n", argv[1],
                size, counts.objects, counts.vertices, counts.triangles, counts.materials);
    return 0;
}
