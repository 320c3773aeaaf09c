#include "scene/FiniteBounds.h"

#include <algorithm>
#include <cmath>

namespace {

bool Finite(float a, float b, float c, float d, float e, float f) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) &&
           std::isfinite(e) && std::isfinite(f);
}

bool FiniteBounds(const SceneObject& o) {
    return Finite(o.minX, o.minY, o.minZ, o.maxX, o.maxY, o.maxZ);
}

}  // namespace

bool MendObjectBounds(SceneObject& o) {
    if (FiniteBounds(o)) return false;
    bool any = false;
    o.minX = o.minY = o.minZ = o.maxX = o.maxY = o.maxZ = 0;
    for (const SceneVertex& v : o.vertices) {
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) continue;
        if (!any) {
            o.minX = o.maxX = v.x;
            o.minY = o.maxY = v.y;
            o.minZ = o.maxZ = v.z;
            any = true;
            continue;
        }
        o.minX = std::min(o.minX, v.x), o.maxX = std::max(o.maxX, v.x);
        o.minY = std::min(o.minY, v.y), o.maxY = std::max(o.maxY, v.y);
        o.minZ = std::min(o.minZ, v.z), o.maxZ = std::max(o.maxZ, v.z);
    }
    o.centerX = (o.minX + o.maxX) * 0.5f;
    o.centerY = (o.minY + o.maxY) * 0.5f;
    o.centerZ = (o.minZ + o.maxZ) * 0.5f;
    return true;
}

void MendSceneBounds(Scene& scene) {
    for (SceneObject& o : scene.m_objects)
        MendObjectBounds(o);
    SceneSettings& s = scene.m_settings;
    if (Finite(s.minX, s.minY, s.minZ, s.maxX, s.maxY, s.maxZ)) return;
    s.minX = s.minY = s.minZ = s.maxX = s.maxY = s.maxZ = 0;
    for (size_t i = 0; i < scene.m_objects.size(); ++i) {
        const SceneObject& o = scene.m_objects[i];
        const bool first = i == 0;
        s.minX = first ? o.minX : std::min(s.minX, o.minX);
        s.minY = first ? o.minY : std::min(s.minY, o.minY);
        s.minZ = first ? o.minZ : std::min(s.minZ, o.minZ);
        s.maxX = first ? o.maxX : std::max(s.maxX, o.maxX);
        s.maxY = first ? o.maxY : std::max(s.maxY, o.maxY);
        s.maxZ = first ? o.maxZ : std::max(s.maxZ, o.maxZ);
    }
}
