#include "history/ViewEditSteps.h"

#include "history/StepLabels.h"
#include "view/Navigation.h"
#include "view/Projection.h"

namespace {

// The camera the view looks through, or -1 at the default view point.
int32_t ShownCamera(const Scene& scene, const ViewState& view) {
    return ShowsDefaultView(scene, view) ? -1 : scene.m_settings.currentCamera;
}

// The label of what a key changes of the shown camera, or null for a key that changes no record.
const char* KeyLabel(int key) {
    switch (key) {
        case vk::kComma:
        case vk::kPeriod:
            return steplabel::kCameraLens;
        case vk::kLeft:
        case vk::kUp:
        case vk::kRight:
        case vk::kDown:
            return steplabel::kCameraPosition;
        default:
            return nullptr;
    }
}

}  // namespace

void ViewEditSteps::KeyDown(int key, bool autoRepeat, const Scene& scene, const ViewState& view,
                            EditHistory& history) {
    const char* label = KeyLabel(key);
    const int32_t camera = ShownCamera(scene, view);
    if (!label || camera < 0) return;
    if (autoRepeat && key == m_key && history.IsOpen(m_keyStep)) return;
    m_key = key;
    m_keyStep = history.Begin(scene, {{CameraRecord(camera), label}});
}

void ViewEditSteps::WheelTurned(Scene& scene, const ViewState& view, EditHistory& history,
                                const std::function<void()>& zoom) {
    const int32_t camera = ShownCamera(scene, view);
    if (camera < 0) {
        zoom();
        return;
    }
    history.Record(scene, {{CameraRecord(camera), steplabel::kCameraLens}}, zoom);
}

void ViewEditSteps::KeyUp(int key, bool autoRepeat, const Scene& scene, EditHistory& history) {
    if (autoRepeat || key != m_key) return;
    history.Commit(m_keyStep, scene);
    m_keyStep = 0;
    m_key = 0;
}

void ViewEditSteps::ButtonDown(const Scene& scene, const ViewState& view, EditHistory& history) {
    std::vector<StepRecord> records;
    const int32_t object = scene.m_settings.currentObject;
    if (view.m_bLeftDown && view.m_bDragNote && IsIndexOf(object, scene.m_objects))
        records.push_back({ObjectRecord(object), steplabel::kNotePosition});
    const int32_t camera = ShownCamera(scene, view);
    if (view.m_bRightDown && camera >= 0)
        records.push_back({CameraRecord(camera), steplabel::kCameraLens});
    if (records.empty()) return;
    m_mouseStep = history.Join(m_mouseStep, scene, records);
}

void ViewEditSteps::ButtonUp(const Scene& scene, const ViewState& view, EditHistory& history) {
    if (view.m_bLeftDown || view.m_bRightDown) return;
    history.Commit(m_mouseStep, scene);
    m_mouseStep = 0;
}

void ViewEditSteps::KeyboardLost(const Scene& scene, EditHistory& history) {
    history.Commit(m_keyStep, scene);
    m_keyStep = 0;
    m_key = 0;
}
