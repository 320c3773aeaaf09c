// The import child's reading of a model through the Open Asset Import Library alone, whatever
// the format: the conversion and the answer written as the child writes it, thrown away. For
// bench_formats.py, which measures the program's own readers against it.
//
//     library_import FILE
#include <cstdio>

#include "ImportChild.h"
#include "scene/OutputStream.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: library_import FILE\n", stderr);
        return 2;
    }
    Scene scene;
    scene.ClearScene();
    std::vector<std::string> lines;
    const ChildStatus status = ReadWithLibrary(argv[1], scene, lines);
    std::FILE* null = std::fopen("/dev/null", "wb");
    if (!null) return 1;
    OutputStream out(null);
    WriteChildAnswer(out, status, lines, status == ChildStatus::Scene ? &scene : nullptr);
    out.Flush();
    std::fclose(null);
    return status == ChildStatus::Scene ? 0 : 1;
}
