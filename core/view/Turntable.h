// The frames of a turntable: N frames make one whole turn of the scene about the z axis, in the
// direction play turns it. Frame 0 is the scene standing still, as a single picture shows it;
// frame k is turned k / N of a turn further and playing, so that the label is left out as it is
// while the window plays.
#pragma once

#include "scene/Scene.h"
#include "view/ViewState.h"

class Turntable {
public:
    // Starts from the scene's rotation as it is now; frames is at least 1.
    Turntable(Scene& scene, ViewState& view, int frames);

    // Puts the scene and the view into frame k's state. Drawing a frame with play on turns the
    // scene on, so every frame sets its rotation again; frames may come in any order.
    void GoToFrame(int k);

private:
    Scene& m_scene;
    ViewState& m_view;
    float m_startRotZ;
    int m_frames;
};
