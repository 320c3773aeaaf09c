// libFuzzer entry for the 3DS reader: any bytes must import without harm and leave a scene that
// keeps its invariants.
#include <cstdint>
#include <cstdlib>

#include "SceneInvariants.h"
#include "import3ds/Read3DS.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputStream in(data, size);
    Scene scene;
    Read3DS(in, scene);
    CheckSceneInvariants(scene);
    if (scene.m_materials.size() != scene.m_materialNames.size()) std::abort();
    return 0;
}
