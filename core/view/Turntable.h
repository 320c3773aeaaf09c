// The frames of a turntable: frame 0 is the scene standing still, as a single picture shows it;
// frame k is the state that play reaches after k ticks of its timer, turned k steps further and
// playing, so that the label is left out as it is while the window plays.
#pragma once

#include "scene/Scene.h"
#include "view/ViewState.h"

class Turntable {
public:
    // Starts from the scene's rotation as it is now.
    Turntable(Scene& scene, ViewState& view);

    // Puts the scene and the view into frame k's state. Drawing a frame with play on turns the
    // scene on, so every frame sets its rotation again; frames may come in any order.
    void GoToFrame(int k);

private:
    Scene& m_scene;
    ViewState& m_view;
    float m_startRotZ;
    int m_frame = 0;  // the frame m_rotZ belongs to
    float m_rotZ;     // reached by ticks, one at a time, as the timer does
};
