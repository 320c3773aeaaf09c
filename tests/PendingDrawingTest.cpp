// Input that waited behind a slow frame: its frames merge into one, play is toggled at once,
// the frames of a finished drag are dropped, and a slow frame is foreseen.
#include <gtest/gtest.h>

#include "view/PendingDrawing.h"

using Steps = ViewSteps;

TEST(PendingDrawing, FramesOfManyInputsBecomeOne) {
    PendingDrawing p;
    EXPECT_TRUE(p.Empty());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(p.Add({ViewStep::RenderScene}, true).empty());
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Take(), Steps{ViewStep::RenderScene});
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Take().empty());

    // A zoom key and a display key: the projection first, then one frame.
    p.Add({ViewStep::RenderScene}, false);
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene}, false);
    EXPECT_EQ(p.Take(), (Steps{ViewStep::SetupProjection, ViewStep::RenderScene}));

    // A full redraw covers the projection and the frames before and after it.
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene}, false);
    p.Add({ViewStep::TimerPath}, false);
    p.Add({ViewStep::RenderScene}, false);
    EXPECT_EQ(p.Take(), Steps{ViewStep::TimerPath});

    // The projection alone, with no frame asked for.
    p.Add({ViewStep::SetupProjection}, false);
    EXPECT_EQ(p.Take(), Steps{ViewStep::SetupProjection});
}

TEST(PendingDrawing, PlayIsToggledAtOnceAndInOrder) {
    PendingDrawing p;
    EXPECT_EQ(p.Add({ViewStep::TogglePlay}, false), Steps{ViewStep::TogglePlay});
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Add({ViewStep::RenderScene, ViewStep::TogglePlay, ViewStep::TogglePlay}, false),
              (Steps{ViewStep::TogglePlay, ViewStep::TogglePlay}));
    EXPECT_EQ(p.Take(), Steps{ViewStep::RenderScene});
}

TEST(PendingDrawing, AFinishedDragDrawsNoMoreButKeysStillDo) {
    PendingDrawing p;
    p.Add({ViewStep::RenderScene}, true);
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene}, true);  // right-button zoom
    EXPECT_TRUE(p.HasFrame());
    p.DragEnded();
    // The zoom's projection stays in line with the field of view; no frame.
    EXPECT_FALSE(p.HasFrame());
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Take(), Steps{ViewStep::SetupProjection});

    // A key pressed during the drag still gets its frame, before or after the moves.
    p.Add({ViewStep::RenderScene}, false);
    p.Add({ViewStep::RenderScene}, true);
    p.DragEnded();
    EXPECT_EQ(p.Take(), Steps{ViewStep::RenderScene});
    p.Add({ViewStep::RenderScene}, true);
    p.Add({ViewStep::TimerPath}, false);
    p.DragEnded();
    EXPECT_EQ(p.Take(), Steps{ViewStep::TimerPath});

    // A drag after a dropped one is drawn again.
    p.Add({ViewStep::RenderScene}, true);
    p.DragEnded();
    p.Add({ViewStep::RenderScene}, true);
    EXPECT_EQ(p.Take(), Steps{ViewStep::RenderScene});

    // A full redraw drawn meanwhile leaves nothing.
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene}, false);
    p.Clear();
    EXPECT_TRUE(p.Empty());
}

TEST(PendingDrawing, TheBusyCursorIsForeseenFromTheLastFrame) {
    ViewState view;
    EXPECT_FALSE(ExpectSlowFrame(view));
    view.m_nFrameTicks = 3000000;  // 0.3 s at 10 MHz
    EXPECT_FALSE(ExpectSlowFrame(view));
    view.m_nFrameTicks = 3000001;
    EXPECT_TRUE(ExpectSlowFrame(view));
    view.m_nFrameTicks = 2147483647;
    EXPECT_TRUE(ExpectSlowFrame(view));
    view.m_nFrameTicks = -5;  // a clock that went back
    EXPECT_FALSE(ExpectSlowFrame(view));
}
