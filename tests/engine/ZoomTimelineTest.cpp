// SPDX-License-Identifier: GPL-3.0-or-later
// The timeline against the player's own ticks: after n ticks the player shows what the timeline
// gives for n / ticksPerSecond seconds, across keyframe swaps.
#include "ZoomTimeline.h"
#include "EngineFixture.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

using ZoomTimelineTest = EngineTest;

TEST_F(ZoomTimelineTest, FollowsThePlayersTicksAcrossSwaps)
{
    ZoomState.stepFactor = ZoomTimeline::stepFactorForSpeed(90);
    const ZoomTimeline timeline(ZoomState.stepFactor, ZoomState.frameRate);
    GoToStart();
    startZoomDirection(true);
    host->zgZoomIn.stop();
    int swaps = 0;
    for (int tick = 1; tick <= 60; ++tick) {
        const int before = currentFrame;
        zoomInTick();
        ASSERT_TRUE(ZoomState.nextReady || waitForNextReady());
        swaps += currentFrame != before;
        const ZoomMoment moment = timeline.atRunSeconds(tick / double(ZoomState.frameRate));
        ASSERT_EQ(moment.frame, currentFrame) << "tick " << tick;
        ASSERT_NEAR(moment.scale, ZoomState.scale, 1e-9) << "tick " << tick;
    }
    EXPECT_GE(swaps, 5);
}

TEST(ZoomTimeline, TheDefaultRunAndItsEnds)
{
    const ZoomTimeline timeline;
    // 61 octaves at 1.04 per tick and 30 ticks per second.
    EXPECT_NEAR(timeline.runSeconds(), 35.93, 0.01);
    const ZoomMoment start = timeline.atRunSeconds(-1.0);
    EXPECT_EQ(start.frame, 2);
    EXPECT_EQ(start.scale, 1.0);
    const ZoomMoment end = timeline.atRunSeconds(timeline.runSeconds() + 1.0);
    EXPECT_EQ(end.frame, 62);
    EXPECT_DOUBLE_EQ(end.scale, 2.0);
    const ZoomMoment out = timeline.atRunSecondsOut(0.0);
    EXPECT_EQ(out.frame, 62);
    EXPECT_DOUBLE_EQ(out.scale, 2.0);
    EXPECT_NEAR(ZoomTimeline::stepFactorForSpeed(50), 1.04, 0.0005);
}
