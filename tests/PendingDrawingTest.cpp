// Input that waited behind a slow frame: its frames merge into one, play is toggled at once,
// a finished drag still gets the frame of its last position, and a slow frame is foreseen.
#include <gtest/gtest.h>

#include "view/PendingDrawing.h"

using Steps = ViewSteps;

TEST(PendingDrawing, FramesOfManyInputsBecomeOne) {
    PendingDrawing p;
    EXPECT_TRUE(p.Empty());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(p.Add({ViewStep::RenderScene}).empty());
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Take(), Steps{ViewStep::RenderScene});
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Take().empty());

    // A zoom key and a display key: the projection first, then one frame.
    p.Add({ViewStep::RenderScene});
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene});
    EXPECT_EQ(p.Take(), (Steps{ViewStep::SetupProjection, ViewStep::RenderScene}));

    // A full redraw covers the projection and the frames before and after it.
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene});
    p.Add({ViewStep::TimerPath});
    p.Add({ViewStep::RenderScene});
    EXPECT_EQ(p.Take(), Steps{ViewStep::TimerPath});

    // The projection alone, with no frame asked for.
    p.Add({ViewStep::SetupProjection});
    EXPECT_EQ(p.Take(), Steps{ViewStep::SetupProjection});
}

TEST(PendingDrawing, PlayIsToggledAtOnceAndInOrder) {
    PendingDrawing p;
    EXPECT_EQ(p.Add({ViewStep::TogglePlay}), Steps{ViewStep::TogglePlay});
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Add({ViewStep::RenderScene, ViewStep::TogglePlay, ViewStep::TogglePlay}),
              (Steps{ViewStep::TogglePlay, ViewStep::TogglePlay}));
    EXPECT_EQ(p.Take(), Steps{ViewStep::RenderScene});
}

TEST(PendingDrawing, AFinishedDragStillDrawsItsLastPosition) {
    // The moves and the zoom of a drag whose release arrived with them: one frame of where the
    // drag ended, after the projection of the zoom.
    PendingDrawing p;
    p.Add({ViewStep::RenderScene});
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene});  // right-button zoom
    EXPECT_TRUE(p.HasFrame());
    EXPECT_EQ(p.Take(), (Steps{ViewStep::SetupProjection, ViewStep::RenderScene}));

    // A full redraw drawn meanwhile leaves nothing.
    p.Add({ViewStep::SetupProjection, ViewStep::RenderScene});
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
