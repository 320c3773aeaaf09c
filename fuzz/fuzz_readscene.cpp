// libFuzzer entry for the scene file reader: any bytes must read without harm, and whatever is
// read must be safe to show and must write back out, and what is written must read back whole and
// write the same bytes again.
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

    // What was written reads back whole, extension block and all, and writes the same bytes.
    InputStream again(bytes.data(), bytes.size());
    Scene back;
    ReadExtrasResult extras;
    if (ReadScene(again, back, &extras) != ReadSceneResult::Read ||
        extras == ReadExtrasResult::Damaged || extras == ReadExtrasResult::NewerVersion)
        std::abort();
    std::vector<uint8_t> rewritten;
    OutputStream outAgain(rewritten);
    WriteScene(outAgain, back);
    if (rewritten != bytes) std::abort();
    return 0;
}
