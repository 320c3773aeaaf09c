#include "scene/SceneCheck.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::string Text(const char* format, long long a, long long b = 0, long long c = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string CheckObject(const SceneObject& o, size_t index, size_t materialCount) {
    const auto at = [&](const std::string& rule) {
        return "object " + std::to_string(index) + " (" + o.name + "): " + rule;
    };
    if (o.vertexCount != static_cast<int64_t>(o.vertices.size()))
        return at(Text("vertexCount %lld is not the %lld vertices", o.vertexCount,
                       static_cast<long long>(o.vertices.size())));
    if (o.meshCount != static_cast<int64_t>(o.meshes.size()))
        return at(Text("meshCount %lld is not the %lld triangles", o.meshCount,
                       static_cast<long long>(o.meshes.size())));
    const size_t vertexCount = o.vertices.size();
    for (size_t t = 0; t < o.meshes.size(); ++t) {
        const SceneMesh& m = o.meshes[t];
        const uint16_t corners[3] = {m.a, m.b, m.c};
        for (int k = 0; k < 3; ++k) {
            if (corners[k] >= vertexCount)
                return at("triangle " + std::to_string(t) + ": corner " + "abc"[k] + " = " +
                          std::to_string(corners[k]) + " is not one of its " +
                          std::to_string(vertexCount) + " vertices");
        }
    }
    if (o.materialIndex < -1 || o.materialIndex >= static_cast<int64_t>(materialCount))
        return at(Text("materialIndex %lld is not -1 and not one of the %lld materials",
                       o.materialIndex, static_cast<long long>(materialCount)));
    if (!o.uvs.empty() && o.uvs.size() != vertexCount)
        return at(Text("%lld texture coordinates for %lld vertices",
                       static_cast<long long>(o.uvs.size()), static_cast<long long>(vertexCount)));
    if (!o.smoothingGroups.empty() && o.smoothingGroups.size() != o.meshes.size())
        return at(Text("%lld smoothing groups for %lld triangles",
                       static_cast<long long>(o.smoothingGroups.size()),
                       static_cast<long long>(o.meshes.size())));
    for (size_t c = 0; c < o.copies.size(); ++c)
        if (!IsFiniteMatrix(o.copies[c].matrix))
            return at(Text("placed copy %lld: its matrix is not finite", c));
    std::vector<bool> grouped(o.meshes.size());
    for (size_t g = 0; g < o.faceGroups.size(); ++g) {
        const FaceGroup& group = o.faceGroups[g];
        if (group.faces.empty()) return at(Text("face group %lld has no faces", g));
        for (uint32_t face : group.faces) {
            if (face >= grouped.size())
                return at(Text("face group %lld: face %lld is not one of the %lld triangles", g,
                               face, static_cast<long long>(grouped.size())));
            if (grouped[face])
                return at(Text("face group %lld: face %lld is in an earlier group too", g, face));
            grouped[face] = true;
        }
    }
    return "";
}

}  // namespace

std::string SceneRuleBroken(const Scene& scene) {
    const size_t materialCount = scene.m_materials.size();
    if (scene.m_materialNames.size() != materialCount)
        return Text("%lld material names for %lld materials",
                    static_cast<long long>(scene.m_materialNames.size()),
                    static_cast<long long>(materialCount));
    for (size_t i = 0; i < materialCount; ++i) {
        if (scene.m_materialNames[i] != scene.m_materials[i].name)
            return "material name " + std::to_string(i) + " \"" + scene.m_materialNames[i] +
                   "\" is not the name of material " + std::to_string(i) + " \"" +
                   scene.m_materials[i].name + "\"";
        const std::optional<TextureMap>& map = scene.m_materials[i].textureMap;
        if (map && map->fileName.empty())
            return "material " + std::to_string(i) + ": its texture map names no file";
        if (map && map->embeddedImage != -1 && !IsIndexOf(map->embeddedImage, scene.m_images))
            return Text("material %lld: its image %lld is not -1 and not one of the %lld images",
                        static_cast<long long>(i), static_cast<long long>(map->embeddedImage),
                        static_cast<long long>(scene.m_images.size()));
    }
    for (size_t i = 0; i < scene.m_images.size(); ++i)
        if (scene.m_images[i].bytes.empty()) return "image " + std::to_string(i) + " is empty";
    for (size_t i = 0; i < scene.m_objects.size(); ++i) {
        std::string broken = CheckObject(scene.m_objects[i], i, materialCount);
        if (!broken.empty()) return broken;
    }
    const SceneSettings& s = scene.m_settings;
    if (s.currentObject != -1 && !IsIndexOf(s.currentObject, scene.m_objects))
        return Text("currentObject %lld is not -1 and not one of the %lld objects", s.currentObject,
                    static_cast<long long>(scene.m_objects.size()));
    if (s.currentCamera != -1 && !IsIndexOf(s.currentCamera, scene.m_cameras))
        return Text("currentCamera %lld is not -1 and not one of the %lld cameras", s.currentCamera,
                    static_cast<long long>(scene.m_cameras.size()));
    return "";
}

void CheckSceneInDebug([[maybe_unused]] const Scene& scene, [[maybe_unused]] const char* after) {
#ifndef NDEBUG
    const std::string broken = SceneRuleBroken(scene);
    if (broken.empty()) return;
    std::fprintf(stderr, "zemvora: the scene breaks a rule after %s: %s\n", after, broken.c_str());
    std::abort();
#endif
}
