#include "view/Turntable.h"

#include <algorithm>

Turntable::Turntable(Scene& scene, ViewState& view, int frames)
    : m_scene(scene),
      m_view(view),
      m_startRotZ(scene.m_settings.rotZ),
      m_frames(std::max(frames, 1)) {}

void Turntable::GoToFrame(int k) {
    m_scene.m_settings.rotZ =
        m_startRotZ + 360.0f * static_cast<float>(k) / static_cast<float>(m_frames);
    m_view.m_bPlay = k > 0;
}
