// libFuzzer entry for the scene file reader: any bytes must read without harm, and whatever is
// read must be safe to show and must write back out.
#include <cstdint>
#include <cstdlib>

#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputStream in(data, size);
    Scene scene;
    ReadScene(in, scene);
    if (!SceneRuleBroken(scene).empty()) std::abort();
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return 0;
}
