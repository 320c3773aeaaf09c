// What every scene a reader leaves must keep, whatever bytes it read: counts equal to list
// lengths, triangle corners and indices inside their lists. Aborts (a finding) otherwise.
#pragma once

#include <cstdlib>

#include "scene/Scene.h"

inline void CheckSceneInvariants(const Scene& scene) {
    const auto inside = [](int32_t index, size_t size) {
        return index >= -1 && index < static_cast<int64_t>(size);
    };
    const SceneSettings& s = scene.m_settings;
    if (!inside(s.currentObject, scene.m_objects.size())) std::abort();
    if (!inside(s.currentCamera, scene.m_cameras.size())) std::abort();
    for (const SceneObject& o : scene.m_objects) {
        if (o.vertexCount != static_cast<int32_t>(o.vertices.size())) std::abort();
        if (o.meshCount != static_cast<int32_t>(o.meshes.size())) std::abort();
        for (const SceneMesh& m : o.meshes) {
            if (m.a >= o.vertices.size() || m.b >= o.vertices.size() || m.c >= o.vertices.size())
                std::abort();
        }
        if (!inside(o.materialIndex, scene.m_materials.size())) std::abort();
    }
}
