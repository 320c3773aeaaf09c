#include "view/Navigation.h"

#include "commands/CommandIds.h"
#include "view/DisplayCommands.h"
#include "view/Projection.h"

namespace {

constexpr float kMoveStep = 0.5f;  // scene units per arrow key
constexpr float kDragZoom = 0.2f;  // per pixel of right-button drag

// The current camera when the view looks through it, else null.
SceneCamera* ShownCamera(Scene& scene, const ViewState& view) {
    if (ShowsDefaultView(scene, view)) return nullptr;
    return &scene.m_cameras[static_cast<size_t>(scene.m_settings.currentCamera)];
}

ViewSteps Zoom(float amount, Scene& scene, ViewState& view) {
    if (SceneCamera* camera = ShownCamera(scene, view)) {
        camera->lens += amount;
        scene.m_bModified = true;
    } else {
        view.m_fFovY += amount;
    }
    return {ViewStep::SetupProjection, ViewStep::RenderScene};
}

// Moves the shown camera and its target together along a world axis.
ViewSteps Move(float dx, float dy, Scene& scene, const ViewState& view) {
    if (SceneCamera* camera = ShownCamera(scene, view)) {
        camera->posX += dx;
        camera->targetX += dx;
        camera->posY += dy;
        camera->targetY += dy;
        scene.m_bModified = true;
    }
    return {ViewStep::SetupProjection, ViewStep::RenderScene};
}

}  // namespace

ViewSteps OnKeyDown(int key, Scene& scene, ViewState& view) {
    SceneSettings& s = scene.m_settings;
    switch (key) {
        case vk::kTab: {
            const int32_t count = static_cast<int32_t>(scene.m_objects.size());
            if (count == 0) return {};
            s.currentObject = s.currentObject + 1 >= count ? 0 : s.currentObject + 1;
            return {ViewStep::TimerPath};
        }
        case vk::kComma:
            return Zoom(kZoomStep, scene, view);
        case vk::kPeriod:
            return Zoom(-kZoomStep, scene, view);
        case vk::kUp:
            return Move(0, -kMoveStep, scene, view);
        case vk::kDown:
            return Move(0, kMoveStep, scene, view);
        case vk::kLeft:
            return Move(-kMoveStep, 0, scene, view);
        case vk::kRight:
            return Move(kMoveStep, 0, scene, view);
        case 'C':
            view.m_nProjection =
                view.m_nProjection != ProjPerspective ? ProjPerspective : ProjTopView;
            return {ViewStep::SetupProjection, ViewStep::RenderScene};
        case 'R':
            s.dragX = 0;
            s.dragY = 0;
            return {ViewStep::SetupProjection, ViewStep::RenderScene};
        case 'P':
            return {ViewStep::TogglePlay};
        default:
            break;
    }
    // The display toggles' keys.
    if (const std::optional<ViewStep> step = ApplyDisplayKey(key, view)) return {*step};
    return {};
}

void OnLeftButtonDown(int x, int y, const Scene& scene, ViewState& view) {
    view.m_bLeftDown = true;
    view.m_nLastX = x;
    view.m_nLastY = y;
    view.m_bDragNote = false;
    if (const SceneObject* o = scene.CurrentObject())
        view.m_bDragNote = o->noteX <= x && x < o->noteX + 8 && o->noteY <= y && y < o->noteY + 8;
}

void OnLeftButtonUp(ViewState& view) {
    view.m_bLeftDown = false;
    view.m_bDragNote = false;
}

void OnRightButtonDown(int x, int y, ViewState& view) {
    view.m_bRightDown = true;
    view.m_nLastX = x;
    view.m_nLastY = y;
}

void OnRightButtonUp(ViewState& view) {
    view.m_bRightDown = false;
}

ViewSteps OnMouseMove(int x, int y, Scene& scene, ViewState& view) {
    SceneSettings& s = scene.m_settings;
    SceneObject* current = scene.CurrentObject();
    if (!current) return {};
    const int dx = x - view.m_nLastX;
    const int dy = y - view.m_nLastY;
    ViewSteps steps;
    if (view.m_bLeftDown) {
        if (view.m_bDragNote) {
            current->noteX += dx;
            current->noteY += dy;
        } else {
            s.dragX += static_cast<float>(dx);
            s.dragY += static_cast<float>(dy);
        }
        steps.push_back(ViewStep::RenderScene);
    }
    if (view.m_bRightDown) {
        // Right widens the default view point's angle but lengthens a camera's lens.
        const float amount = kDragZoom * static_cast<float>(dx);
        if (SceneCamera* camera = ShownCamera(scene, view))
            camera->lens += amount;
        else
            view.m_fFovY += amount;
        steps.push_back(ViewStep::SetupProjection);
        steps.push_back(ViewStep::RenderScene);
    }
    view.m_nLastX = x;
    view.m_nLastY = y;
    return steps;
}

std::optional<ViewSteps> ApplyViewpointCommand(int id, Scene& scene, ViewState& view) {
    SceneSettings& s = scene.m_settings;
    switch (id) {
        case cmd::kDefaultViewPoint:
            view.m_bDefaultView = !view.m_bDefaultView;
            view.m_bFitted = false;
            return ViewSteps{ViewStep::TimerPath};
        case cmd::kTopView:
            view.m_nProjection = ProjTopView;
            return ViewSteps{ViewStep::TimerPath};
        case cmd::kCameraView:
            view.m_nProjection = ProjPerspective;
            return ViewSteps{ViewStep::TimerPath};
        case cmd::kResetViewpoint:
            s.rotX = s.rotY = s.rotZ = 0;
            s.dragX = s.dragY = 0;
            return ViewSteps{ViewStep::SetupProjection, ViewStep::RenderScene};
        default:
            return std::nullopt;
    }
}

std::optional<bool> ViewpointCommandChecked(int id, const ViewState& view) {
    switch (id) {
        case cmd::kDefaultViewPoint:
            return view.m_bDefaultView;
        case cmd::kTopView:
            return view.m_nProjection == ProjTopView;
        case cmd::kCameraView:
            return view.m_nProjection == ProjPerspective;
        default:
            return std::nullopt;
    }
}
