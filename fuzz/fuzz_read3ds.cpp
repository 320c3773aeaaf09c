// libFuzzer entry for the 3DS reader: any bytes must import without harm and leave a scene that
// keeps its invariants.
#include <cstdint>
#include <cstdlib>

#include "import3ds/Read3DS.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputStream in(data, size);
    Scene scene;
    Read3DS(in, scene);
    if (scene.m_materials.size() != scene.m_materialNames.size()) std::abort();
    for (const SceneObject& o : scene.m_objects) {
        if (o.vertexCount != static_cast<int32_t>(o.vertices.size())) std::abort();
        if (o.meshCount != static_cast<int32_t>(o.meshes.size())) std::abort();
        for (const SceneMesh& m : o.meshes) {
            if (m.a >= o.vertices.size() || m.b >= o.vertices.size() || m.c >= o.vertices.size())
                std::abort();
        }
        if (o.materialIndex < -1 || o.materialIndex >= static_cast<int32_t>(scene.m_materials.size()))
            std::abort();
    }
    return 0;
}
