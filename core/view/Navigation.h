// How the view's keys, mouse and view-point commands change the view state and the scene, and
// which drawing each asks for afterwards.
#pragma once

#include <optional>

#include "scene/Scene.h"
#include "view/ViewState.h"
#include "view/ViewStep.h"

// Degrees of view, or lens, that one press of comma or period changes.
constexpr float kZoomStep = 0.5f;

// Virtual key codes of the keys the view handles.
namespace vk {
constexpr int kTab = 0x09;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kComma = 0xBC;
constexpr int kPeriod = 0xBE;
}  // namespace vk

// A key press (each auto-repeat again); letters are their upper-case codes.
ViewSteps OnKeyDown(int key, Scene& scene, ViewState& view);

void OnLeftButtonDown(int x, int y, const Scene& scene, ViewState& view);
void OnLeftButtonUp(ViewState& view);
void OnRightButtonDown(int x, int y, ViewState& view);
void OnRightButtonUp(ViewState& view);
// Turning (left), the note's handle (left on it), zooming (right); both buttons: both, left first.
ViewSteps OnMouseMove(int x, int y, Scene& scene, ViewState& view);

// "Default camera view point", "Top view", "Camera view", "Reset viewpoint"; nothing for other ids.
std::optional<ViewSteps> ApplyViewpointCommand(int id, Scene& scene, ViewState& view);
std::optional<bool> ViewpointCommandChecked(int id, const ViewState& view);
