// libFuzzer entry for the scene file reader: any bytes must read without harm, and whatever is
// read must be safe to show and must write back out.
#include <cstdint>
#include <cstdlib>

#include "scene/SceneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputStream in(data, size);
    Scene scene;
    ReadScene(in, scene, nullptr);
    const SceneSettings& s = scene.m_settings;
    if (s.currentObject < -1 || s.currentObject >= static_cast<int32_t>(scene.m_objects.size()))
        std::abort();
    if (s.currentCamera < -1 || s.currentCamera >= static_cast<int32_t>(scene.m_cameras.size()))
        std::abort();
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
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return 0;
}
