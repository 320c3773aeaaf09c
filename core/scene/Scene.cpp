#include "scene/Scene.h"

#include <atomic>
#include <utility>

namespace {

// Empties a list and gives its memory back: a cleared scene after a large one should not keep
// hundreds of megabytes reserved.
template <class List>
void FreeList(List& list) {
    List().swap(list);
}

}  // namespace

uint64_t NewObjectRevision() {
    // Objects are made on the readers' and the simplifier's threads too.
    static std::atomic<uint64_t> last{0};
    return ++last;
}

LogFont LogFont::DefaultLabelFont() {
    LogFont font;
    font.lfHeight = -16;
    font.lfWeight = 700;
    font.lfOutPrecision = 4;  // OUT_TT_PRECIS
    font.lfQuality = 4;       // ANTIALIASED_QUALITY
    font.lfFaceName = "Arial Black";
    return font;
}

bool operator==(const LogFont& a, const LogFont& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
           a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           a.lfFaceName == b.lfFaceName;
}

void Scene::ClearScene() {
    FreeList(m_materials);
    FreeList(m_objects);
    FreeList(m_lights);
    FreeList(m_cameras);
    FreeList(m_materialNames);
    FreeList(m_images);

    SceneSettings& s = m_settings;
    s.background = RGB8{127, 127, 127};
    s.maxX = s.maxY = s.maxZ = 100.0f;
    s.minX = s.minY = s.minZ = -100.0f;
    for (int i = 0; i < 3; ++i) {
        s.reservedBytes[i] = 0;
        s.reservedWords[i] = 0;
    }
    m_bModified = false;
    s.rotX = s.rotY = s.rotZ = 0;
    s.dragX = s.dragY = 0;
    s.upAxis = UpAxis::PlusZ;
}

void Scene::ReleaseScene() {
    FreeList(m_materials);
    FreeList(m_objects);
    FreeList(m_cameras);
    FreeList(m_lights);
    FreeList(m_materialNames);
    FreeList(m_images);
}

SceneObject* Scene::CurrentObject() {
    const int32_t current = m_settings.currentObject;
    return IsIndexOf(current, m_objects) ? &m_objects[static_cast<size_t>(current)] : nullptr;
}

const SceneObject* Scene::CurrentObject() const {
    const int32_t current = m_settings.currentObject;
    return IsIndexOf(current, m_objects) ? &m_objects[static_cast<size_t>(current)] : nullptr;
}

void EmptyScene(Scene& scene) {
    scene.ClearScene();
    scene.m_settings.currentObject = -1;
    scene.m_settings.currentCamera = -1;
}

void MakeFirstRecordsCurrent(Scene& scene) {
    if (!scene.m_objects.empty()) scene.m_settings.currentObject = 0;
    if (!scene.m_cameras.empty()) scene.m_settings.currentCamera = 0;
}

SceneStatistics CountStatistics(const Scene& scene) {
    SceneStatistics stats;
    for (const SceneObject& object : scene.m_objects) {
        stats.meshes += static_cast<int32_t>(object.meshes.size());
        stats.vertices += static_cast<int32_t>(object.vertices.size());
    }
    stats.objects = static_cast<int32_t>(scene.m_objects.size());
    stats.materials = static_cast<int32_t>(scene.m_materials.size());
    stats.lights = static_cast<int32_t>(scene.m_lights.size());
    stats.cameras = static_cast<int32_t>(scene.m_cameras.size());
    return stats;
}

void Scene::CountScene() {
    m_stats = CountStatistics(*this);
}

bool ObjectNeedsExtensionBlock(const SceneObject& o) {
    return !o.faceGroups.empty() || !o.uvs.empty() || !o.smoothingGroups.empty() ||
           !o.copies.empty() || o.hidden;
}

Scene SceneWithoutObjects(const Scene& scene) {
    Scene shell;
    shell.m_materialNames = scene.m_materialNames;
    shell.m_cameras = scene.m_cameras;
    shell.m_lights = scene.m_lights;
    shell.m_materials = scene.m_materials;
    shell.m_images = scene.m_images;
    shell.m_stats = scene.m_stats;
    shell.m_settings = scene.m_settings;
    shell.m_strFilePath = scene.m_strFilePath;
    shell.m_strImageBase = scene.m_strImageBase;
    shell.m_bModified = scene.m_bModified;
    return shell;
}

bool HasSceneExtras(const Scene& scene) {
    for (const SceneObject& o : scene.m_objects)
        if (ObjectNeedsExtensionBlock(o)) return true;
    for (const SceneMaterial& m : scene.m_materials)
        if (m.textureMap) return true;
    return scene.m_settings.upAxis != UpAxis::PlusZ;
}
