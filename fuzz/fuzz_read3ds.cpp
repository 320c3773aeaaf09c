// libFuzzer entry for the 3DS reader: any bytes must import without harm and leave a scene that
// keeps its invariants. The main chunk's length is set to the input's size first: the reader
// refuses any other length, so mutations that change the size would all stop at the header.
// run.sh bounds each input's memory and time.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "SceneInvariants.h"
#include "import3ds/Read3DS.h"
#include "scene/ByteOrder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= 6) StoreU32(bytes.data() + 2, static_cast<uint32_t>(size));
    InputStream in(bytes.data(), bytes.size());
    Scene scene;
    Read3DS(in, scene);
    CheckSceneInvariants(scene);
    if (scene.m_materials.size() != scene.m_materialNames.size()) std::abort();
    return 0;
}
