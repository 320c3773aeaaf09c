#include "view/MotionDetail.h"

#include "view/Navigation.h"

void MotionDetail::Nudged(int64_t now) {
    m_nudged = true;
    m_lastNudge = now;
}

bool MotionDetail::Moving(const ViewState& view, int64_t now) const {
    if (view.m_bPlay || view.m_bLeftDown || view.m_bRightDown) return true;
    // A clock that went back counts as at rest.
    return m_nudged && now >= m_lastNudge && now - m_lastNudge < kIdleTicks;
}

int MotionDetail::ChooseLevel(const ViewState& view, int64_t now,
                              const std::vector<int64_t>& levelTriangles) const {
    if (!m_enabled || levelTriangles.empty() || m_lastFullTicks <= kSlowFullTicks ||
        !Moving(view, now))
        return -1;
    // The finest level that fits, or the coarsest when none does.
    const int count = static_cast<int>(levelTriangles.size());
    for (int level = 0; level < count; ++level)
        if (levelTriangles[static_cast<size_t>(level)] <= m_budget) return level;
    return count - 1;
}

void MotionDetail::FrameDrawn(bool simplified, int64_t triangles, int64_t ticks) {
    m_lastSimplified = simplified;
    if (!simplified) m_lastFullTicks = ticks;
    // The triangles a frame of the target length draws, if the time grows with them; a frame
    // too short to measure leaves the estimate as it was.
    if (ticks > 0 && triangles > 0) m_budget = triangles * kTargetTicks / ticks;
}

bool MotionDetail::ShowsRate(bool simplified, int64_t now) {
    if (simplified && now >= m_rateShown && now - m_rateShown < kTicksPerSecond / 4) return false;
    m_rateShown = now;
    return true;
}

void MotionDetail::SceneReplaced() {
    m_lastSimplified = false;
    m_lastFullTicks = 0;
    m_budget = 0;
}

bool IsNavigationKey(int virtualKey) {
    switch (virtualKey) {
        case vk::kLeft:
        case vk::kUp:
        case vk::kRight:
        case vk::kDown:
        case vk::kComma:
        case vk::kPeriod:
            return true;
        default:
            return false;
    }
}
