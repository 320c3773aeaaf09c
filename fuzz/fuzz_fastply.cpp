// libFuzzer entry for the import child's own PLY reader: any bytes are read without harm, and a
// scene it gives keeps the rules every scene keeps and writes out as a scene file.
#include <cstdint>
#include <cstdlib>

#include "FastPly.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scene scene;
    scene.ClearScene();
    std::vector<std::string> report;
    std::string why;
    if (!ReadPly(data, size, scene, report, why)) {
        if (why.empty() || !scene.m_objects.empty()) std::abort();
        return 0;
    }
    if (!SceneRuleBroken(scene).empty()) std::abort();
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return 0;
}
