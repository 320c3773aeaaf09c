// The records an edit can change, and copies of the state an edit can change in them: a
// material (with its texture map), a light or a camera whole, an object without its vertices,
// triangles, bounds, face groups and texture coordinates, an object's face groups on their own,
// and four of the scene-wide settings. These copies are what the edit history keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "scene/Scene.h"

enum class RecordKind : uint8_t {
    Material,       // m_materials[index]
    Light,          // m_lights[index]
    Camera,         // m_cameras[index]
    Object,         // m_objects[index], what an edit can change of it
    FaceGroups,     // m_objects[index].faceGroups: kept apart, as only a few edits change them
    Background,     // the background colour
    LabelFont,      // the label font
    CurrentCamera,  // the current camera's index
    UpAxis,         // the axis the view stands up
};

struct RecordRef {
    RecordKind kind = RecordKind::Background;
    int32_t index = -1;  // into the list of its kind; -1 for the scene-wide settings

    friend bool operator==(const RecordRef& a, const RecordRef& b) {
        return a.kind == b.kind && a.index == b.index;
    }
};

inline RecordRef MaterialRecord(int32_t index) {
    return {RecordKind::Material, index};
}
inline RecordRef LightRecord(int32_t index) {
    return {RecordKind::Light, index};
}
inline RecordRef CameraRecord(int32_t index) {
    return {RecordKind::Camera, index};
}
inline RecordRef ObjectRecord(int32_t index) {
    return {RecordKind::Object, index};
}
inline RecordRef FaceGroupsRecord(int32_t index) {
    return {RecordKind::FaceGroups, index};
}
inline RecordRef BackgroundRecord() {
    return {RecordKind::Background, -1};
}
inline RecordRef LabelFontRecord() {
    return {RecordKind::LabelFont, -1};
}
inline RecordRef CurrentCameraRecord() {
    return {RecordKind::CurrentCamera, -1};
}
inline RecordRef UpAxisRecord() {
    return {RecordKind::UpAxis, -1};
}

// What an edit can change of an object: its shading, its material, its note and whether it is
// hidden.
struct ObjectEdits {
    int32_t smooth = 1;
    int32_t materialIndex = -1;
    std::string materialName;
    std::string note;
    RGB8 noteColor;
    int32_t noteX = 0, noteY = 0;
    bool hidden = false;
};

// One record's state, of the type its kind keeps: SceneMaterial, SceneLight, SceneCamera,
// ObjectEdits, the face groups, RGB8 (background), LogFont (label font) or int32_t (current
// camera, up axis).
using RecordState = std::variant<SceneMaterial, SceneLight, SceneCamera, ObjectEdits,
                                 std::vector<FaceGroup>, RGB8, LogFont, int32_t>;

// The record's state now; nothing when ref addresses no record of the scene.
std::optional<RecordState> CaptureRecord(const Scene& scene, const RecordRef& ref);

// Puts a captured state back. False, and the scene untouched, when ref addresses no record or
// the state is not of its kind. An index in the state that addresses nothing in this scene
// (a material, a camera) becomes -1, so that the scene's invariants hold whatever is restored;
// face groups naming a triangle the object does not have are not restored at all.
bool RestoreRecord(Scene& scene, const RecordRef& ref, const RecordState& state);

// Whether two states would give the same bytes in a scene file: numbers are compared bit for
// bit, so that a NaN equals itself and -0 differs from 0.
bool SameState(const RecordState& a, const RecordState& b);

// The memory a state takes beyond its own size: the text its strings keep on the heap.
size_t StateHeapBytes(const RecordState& state);
