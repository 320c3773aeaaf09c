#include "history/SceneViewEdits.h"

#include <utility>
#include <vector>

#include "commands/CommandIds.h"
#include "history/StepLabels.h"

namespace {

template <class Edit>
void RecordEdit(Scene& scene, EditHistory* history, const std::vector<StepRecord>& records,
                Edit&& edit) {
    if (history)
        history->Record(scene, records, edit);
    else
        edit();
    scene.m_bModified = true;
}

constexpr std::pair<int, UpAxis> kUpAxisCommands[] = {
    {cmd::kUpAxisPlusZ, UpAxis::PlusZ},   {cmd::kUpAxisPlusY, UpAxis::PlusY},
    {cmd::kUpAxisMinusY, UpAxis::MinusY}, {cmd::kUpAxisPlusX, UpAxis::PlusX},
    {cmd::kUpAxisMinusX, UpAxis::MinusX},
};

}  // namespace

bool HideCurrentObject(Scene& scene, EditHistory* history) {
    SceneObject* o = scene.CurrentObject();
    if (!o || o->hidden) return false;
    RecordEdit(scene, history,
               {{ObjectRecord(scene.m_settings.currentObject), steplabel::kHideObject}},
               [o] { o->hidden = true; });
    return true;
}

bool ShowAllObjects(Scene& scene, EditHistory* history) {
    std::vector<StepRecord> records;
    for (size_t i = 0; i < scene.m_objects.size(); ++i)
        if (scene.m_objects[i].hidden)
            records.push_back({ObjectRecord(static_cast<int32_t>(i)), steplabel::kShowAllObjects});
    if (records.empty()) return false;
    RecordEdit(scene, history, records, [&scene] {
        for (SceneObject& o : scene.m_objects)
            o.hidden = false;
    });
    return true;
}

bool SetUpAxis(Scene& scene, EditHistory* history, UpAxis up) {
    if (scene.m_settings.upAxis == up) return false;
    RecordEdit(scene, history, {{UpAxisRecord(), steplabel::kUpAxis}},
               [&scene, up] { scene.m_settings.upAxis = up; });
    return true;
}

std::optional<bool> ApplySceneViewCommand(int id, Scene& scene, EditHistory* history) {
    if (id == cmd::kHideObject) return HideCurrentObject(scene, history);
    if (id == cmd::kShowAllObjects) return ShowAllObjects(scene, history);
    for (const auto& [command, up] : kUpAxisCommands)
        if (id == command) return SetUpAxis(scene, history, up);
    return std::nullopt;
}

std::optional<bool> SceneViewCommandChecked(int id, const Scene& scene) {
    for (const auto& [command, up] : kUpAxisCommands)
        if (id == command) return scene.m_settings.upAxis == up;
    return std::nullopt;
}
