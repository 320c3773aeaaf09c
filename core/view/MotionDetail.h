// Which frames are drawn from the simplified copies of the objects, and from which of their
// levels. A frame is simplified only while the view moves (a mouse button drags, play runs, or
// a navigation key repeats or the wheel turns less than 0.3 s ago), only when the last full
// frame was slow (more than 1/20 s), and only from copies that are ready. The first frame once
// the view stands still again is full. The level is the finest whose triangles fit the budget
// of a frame of about 1/30 s, estimated from how long the last frames took.
#pragma once

#include <cstdint>
#include <vector>

#include "view/ViewState.h"

class MotionDetail {
public:
    // In ticks of the view's 10 MHz clock.
    static constexpr int64_t kTicksPerSecond = 10000000;
    static constexpr int64_t kIdleTicks = kTicksPerSecond * 3 / 10;  // keys and wheel at rest
    static constexpr int64_t kSlowFullTicks = kTicksPerSecond / 20;  // a full frame too slow
    static constexpr int64_t kTargetTicks = kTicksPerSecond / 30;    // a simplified frame

    // "Simplify while moving" of the View menu; on by default.
    void SetEnabled(bool on) { m_enabled = on; }
    bool Enabled() const { return m_enabled; }

    // A repeating navigation key or a turn of the wheel at tick now.
    void Nudged(int64_t now);
    // Whether the view moves at tick now.
    bool Moving(const ViewState& view, int64_t now) const;
    // The tick at which keys and the wheel count as at rest, once the last nudge is that old;
    // 0 when there was none.
    int64_t RestsAt() const { return m_nudged ? m_lastNudge + kIdleTicks : 0; }

    // The level of the copies to draw the next frame from, given each level's triangles (finest
    // first), or -1 for a full frame.
    int ChooseLevel(const ViewState& view, int64_t now,
                    const std::vector<int64_t>& levelTriangles) const;
    // A frame of triangles was drawn in ticks, from the copies or in full.
    void FrameDrawn(bool simplified, int64_t triangles, int64_t ticks);
    // Whether the last frame drawn was simplified and the view now stands still: then the full
    // frame is owed.
    bool FullFrameOwed(const ViewState& view, int64_t now) const {
        return m_lastSimplified && !Moving(view, now);
    }
    // Whether the frame rate of a frame finished at tick now goes to the status bar: that of every
    // full frame, that of frames from the copies four times a second. Showing it costs the
    // window about as much as drawing a light frame.
    bool ShowsRate(bool simplified, int64_t now);
    // The scene was replaced: what was measured on the old one does not count.
    void SceneReplaced();

    int64_t TriangleBudget() const { return m_budget; }
    int64_t LastFullTicks() const { return m_lastFullTicks; }

private:
    bool m_enabled = true;
    bool m_nudged = false;
    int64_t m_lastNudge = 0;
    bool m_lastSimplified = false;
    int64_t m_lastFullTicks = 0;
    int64_t m_budget = 0;     // triangles a frame of about kTargetTicks draws; 0 unknown
    int64_t m_rateShown = 0;  // when the frame rate was last shown
};

// Whether a key moves the view (arrows, zoom keys), so that its repeats count as movement.
bool IsNavigationKey(int virtualKey);
