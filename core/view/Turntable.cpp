#include "view/Turntable.h"

#include "view/PlayTick.h"

Turntable::Turntable(Scene& scene, ViewState& view)
    : m_scene(scene), m_view(view), m_startRotZ(scene.m_settings.rotZ), m_rotZ(m_startRotZ) {}

void Turntable::GoToFrame(int k) {
    if (k < m_frame) {
        m_frame = 0;
        m_rotZ = m_startRotZ;
    }
    SceneSettings ticked;
    ticked.rotZ = m_rotZ;
    for (; m_frame < k; ++m_frame)
        PlayTick(ticked);
    m_rotZ = ticked.rotZ;
    m_scene.m_settings.rotZ = m_rotZ;
    m_view.m_bPlay = k > 0;
}
