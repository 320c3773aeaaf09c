#include "history/RecordState.h"

#include <algorithm>
#include <cstring>

namespace {

template <class T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool Same(const RGB8& a, const RGB8& b) {
    return a == b;
}

bool Same(const std::optional<TextureMap>& a, const std::optional<TextureMap>& b) {
    if (!a || !b) return !a && !b;
    const float va[] = {a->strength, a->uScale, a->vScale, a->uOffset, a->vOffset, a->rotation};
    const float vb[] = {b->strength, b->uScale, b->vScale, b->uOffset, b->vOffset, b->rotation};
    return a->fileName == b->fileName && a->tiling == b->tiling &&
           a->embeddedImage == b->embeddedImage && SameBits(va, vb);
}

bool Same(const SceneMaterial& a, const SceneMaterial& b) {
    return a.ambient == b.ambient && a.diffuse == b.diffuse && a.specular == b.specular &&
           SameBits(a.shininess, b.shininess) && SameBits(a.transparency, b.transparency) &&
           a.name == b.name && Same(a.textureMap, b.textureMap);
}

bool Same(const SceneLight& a, const SceneLight& b) {
    return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z) &&
           SameBits(a.color, b.color) && a.color24 == b.color24 && a.on == b.on && a.name == b.name;
}

bool Same(const SceneCamera& a, const SceneCamera& b) {
    const float va[] = {a.posX, a.posY, a.posZ, a.targetX, a.targetY, a.targetZ, a.lens, a.roll};
    const float vb[] = {b.posX, b.posY, b.posZ, b.targetX, b.targetY, b.targetZ, b.lens, b.roll};
    return SameBits(va, vb) && a.name == b.name;
}

bool Same(const ObjectEdits& a, const ObjectEdits& b) {
    return a.smooth == b.smooth && a.materialIndex == b.materialIndex &&
           a.materialName == b.materialName && a.note == b.note && a.noteColor == b.noteColor &&
           a.noteX == b.noteX && a.noteY == b.noteY && a.hidden == b.hidden;
}

bool Same(const std::vector<FaceGroup>& a, const std::vector<FaceGroup>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FaceGroup& x, const FaceGroup& y) {
                          return x.material == y.material && x.faces == y.faces;
                      });
}

bool Same(const LogFont& a, const LogFont& b) {
    return a == b;
}

bool Same(int32_t a, int32_t b) {
    return a == b;
}

size_t HeapBytes(const std::string& text) {
    // A short string lives inside the object itself.
    static const size_t kInPlace = std::string().capacity();
    return text.capacity() > kInPlace ? text.capacity() + 1 : 0;
}

ObjectEdits EditsOf(const SceneObject& o) {
    ObjectEdits e;
    e.smooth = o.smooth;
    e.materialIndex = o.materialIndex;
    e.materialName = o.materialName;
    e.note = o.note;
    e.noteColor = o.noteColor;
    e.noteX = o.noteX;
    e.noteY = o.noteY;
    e.hidden = o.hidden;
    return e;
}

template <class List>
const typename List::value_type* At(const List& list, int32_t index) {
    return IsIndexOf(index, list) ? &list[static_cast<size_t>(index)] : nullptr;
}

template <class List>
typename List::value_type* At(List& list, int32_t index) {
    return IsIndexOf(index, list) ? &list[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

std::optional<RecordState> CaptureRecord(const Scene& scene, const RecordRef& ref) {
    switch (ref.kind) {
        case RecordKind::Material:
            if (const SceneMaterial* m = At(scene.m_materials, ref.index)) return *m;
            return std::nullopt;
        case RecordKind::Light:
            if (const SceneLight* l = At(scene.m_lights, ref.index)) return *l;
            return std::nullopt;
        case RecordKind::Camera:
            if (const SceneCamera* c = At(scene.m_cameras, ref.index)) return *c;
            return std::nullopt;
        case RecordKind::Object:
            if (const SceneObject* o = At(scene.m_objects, ref.index)) return EditsOf(*o);
            return std::nullopt;
        case RecordKind::FaceGroups:
            if (const SceneObject* o = At(scene.m_objects, ref.index)) return o->faceGroups;
            return std::nullopt;
        case RecordKind::Background:
            return scene.m_settings.background;
        case RecordKind::LabelFont:
            return scene.m_settings.textFont;
        case RecordKind::CurrentCamera:
            return scene.m_settings.currentCamera;
        case RecordKind::UpAxis:
            return static_cast<int32_t>(scene.m_settings.upAxis);
    }
    return std::nullopt;
}

bool RestoreRecord(Scene& scene, const RecordRef& ref, const RecordState& state) {
    SceneSettings& s = scene.m_settings;
    switch (ref.kind) {
        case RecordKind::Material: {
            SceneMaterial* m = At(scene.m_materials, ref.index);
            const SceneMaterial* from = std::get_if<SceneMaterial>(&state);
            if (!m || !from) return false;
            *m = *from;
            return true;
        }
        case RecordKind::Light: {
            SceneLight* l = At(scene.m_lights, ref.index);
            const SceneLight* from = std::get_if<SceneLight>(&state);
            if (!l || !from) return false;
            *l = *from;
            return true;
        }
        case RecordKind::Camera: {
            SceneCamera* c = At(scene.m_cameras, ref.index);
            const SceneCamera* from = std::get_if<SceneCamera>(&state);
            if (!c || !from) return false;
            *c = *from;
            return true;
        }
        case RecordKind::Object: {
            SceneObject* o = At(scene.m_objects, ref.index);
            const ObjectEdits* from = std::get_if<ObjectEdits>(&state);
            if (!o || !from) return false;
            const int32_t material =
                IsIndexOf(from->materialIndex, scene.m_materials) ? from->materialIndex : -1;
            if (material != o->materialIndex) o->revision = NewObjectRevision();
            o->smooth = from->smooth;
            o->materialIndex = material;
            o->materialName = from->materialName;
            o->note = from->note;
            o->noteColor = from->noteColor;
            o->noteX = from->noteX;
            o->noteY = from->noteY;
            o->hidden = from->hidden;
            return true;
        }
        case RecordKind::FaceGroups: {
            SceneObject* o = At(scene.m_objects, ref.index);
            const auto* from = std::get_if<std::vector<FaceGroup>>(&state);
            if (!o || !from) return false;
            for (const FaceGroup& group : *from)
                for (uint32_t face : group.faces)
                    if (face >= o->meshes.size()) return false;
            o->faceGroups = *from;
            o->revision = NewObjectRevision();
            return true;
        }
        case RecordKind::Background:
            if (const RGB8* from = std::get_if<RGB8>(&state)) {
                s.background = *from;
                return true;
            }
            return false;
        case RecordKind::LabelFont:
            if (const LogFont* from = std::get_if<LogFont>(&state)) {
                s.textFont = *from;
                return true;
            }
            return false;
        case RecordKind::CurrentCamera:
            if (const int32_t* from = std::get_if<int32_t>(&state)) {
                s.currentCamera = IsIndexOf(*from, scene.m_cameras) ? *from : -1;
                return true;
            }
            return false;
        case RecordKind::UpAxis:
            if (const int32_t* from = std::get_if<int32_t>(&state); from && IsUpAxis(*from)) {
                s.upAxis = static_cast<UpAxis>(*from);
                return true;
            }
            return false;
    }
    return false;
}

bool SameState(const RecordState& a, const RecordState& b) {
    if (a.index() != b.index()) return false;
    return std::visit(
        [&b](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            return Same(value, std::get<T>(b));
        },
        a);
}

size_t StateHeapBytes(const RecordState& state) {
    if (const SceneMaterial* m = std::get_if<SceneMaterial>(&state))
        return HeapBytes(m->name) + (m->textureMap ? HeapBytes(m->textureMap->fileName) : 0);
    if (const SceneLight* l = std::get_if<SceneLight>(&state)) return HeapBytes(l->name);
    if (const SceneCamera* c = std::get_if<SceneCamera>(&state)) return HeapBytes(c->name);
    if (const ObjectEdits* o = std::get_if<ObjectEdits>(&state))
        return HeapBytes(o->materialName) + HeapBytes(o->note);
    if (const auto* groups = std::get_if<std::vector<FaceGroup>>(&state)) {
        size_t bytes = groups->capacity() * sizeof(FaceGroup);
        for (const FaceGroup& group : *groups)
            bytes += HeapBytes(group.material) + group.faces.capacity() * sizeof(uint32_t);
        return bytes;
    }
    if (const LogFont* f = std::get_if<LogFont>(&state)) return HeapBytes(f->lfFaceName);
    return 0;
}
