// One tick of play: what the play timer's frame does to the scene after drawing it. The window's
// play and the command line's turntable frames take the same step.
#pragma once

#include "scene/SceneRecords.h"

// Degrees the scene turns about the z axis on every tick of play.
constexpr float kPlayStepDegrees = 0.5f;

// Turns the scene one step further; the next frame shows it there.
inline void PlayTick(SceneSettings& settings) {
    settings.rotZ += kPlayStepDegrees;
}
