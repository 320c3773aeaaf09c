// libFuzzer entry for the simplified copies: whatever scene the scene file reader takes from any
// bytes, every object's copy is made without harm (the simplifier's own checks end the program
// on arguments it does not take) and is sound: whole triangles, corners naming kept vertices,
// levels that never grow.
#include <cstdint>
#include <cstdlib>

#include "scene/SceneFile.h"
#include "view/SimplifiedScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputStream in(data, size);
    Scene scene;
    ReadScene(in, scene);
    std::vector<SimplifiedObject> copies;
    size_t own = 0;
    for (const SceneObject& object : scene.m_objects) {
        copies.push_back(SimplifyObject(TakeSnapshot(object)));
        own += OwnBytes(object.vertices.size(), object.meshes.size());
        const SimplifiedObject& copy = copies.back();
        size_t before = object.meshes.size() * 3;
        for (const std::vector<uint16_t>& level : copy.levels) {
            if (level.size() % 3 != 0 || level.size() > before) std::abort();
            before = level.size();
            for (uint16_t corner : level)
                if (corner >= copy.vertices.size()) std::abort();
        }
    }
    FitCopies(copies, own);
    return 0;
}
