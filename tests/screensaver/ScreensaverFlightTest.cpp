// SPDX-License-Identifier: GPL-3.0-or-later
// The endless flight turns round at both ends (coming back out through the same views, never
// jumping back to the start), and the fill covers targets of every shape.
#include "ScreensaverFlight.h"
#include "ScreensaverFrames.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
// Total magnification in octaves over keyframe 2 at scale 1: continuous across keyframe swaps.
double depth(const ZoomMoment &moment)
{
    return moment.frame - ZoomTimeline::firstFrame + std::log2(moment.scale);
}
}   // namespace

TEST(ScreensaverFlight, TurnsRoundAtBothEndsWithoutAJump)
{
    const ZoomTimeline timeline(1.04, 30.0);
    const ScreensaverFlight flight(timeline);
    const double run = timeline.runSeconds();
    ASSERT_DOUBLE_EQ(flight.periodSeconds(), 2 * run);
    EXPECT_NEAR(depth(flight.at(0.0)), 0.0, 1e-9);
    EXPECT_NEAR(depth(flight.at(run)), 61.0, 1e-9);
    // Going out passes the views going in took; the next period starts as the first did.
    for (const double t : {0.5, 3.0, run / 2, run - 0.1}) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(depth(flight.at(2 * run - t)), depth(flight.at(t)), 1e-9);
        EXPECT_NEAR(depth(flight.at(2 * run + t)), depth(flight.at(t)), 1e-9);
        EXPECT_NEAR(depth(flight.at(5 * 2 * run + t)), depth(flight.at(t)), 1e-6);
    }
    // Frame to frame at 30 per second the depth never moves by more than one tick's worth, over
    // three periods: no jump at the turns.
    const double tickOctaves = std::log2(1.04);
    double previous = depth(flight.at(0.0));
    for (int frame = 1; frame <= int(3 * 2 * run * 30); ++frame) {
        const double now = depth(flight.at(frame / 30.0));
        ASSERT_LE(std::abs(now - previous), tickOctaves + 1e-9) << "frame " << frame;
        previous = now;
    }
}

TEST(ScreensaverFrames, FillCutsTheFourToThreePictureToAnyShape)
{
    const QSize keyframe(800, 600);
    // Wider than 4:3: the whole width, cut at the top and bottom.
    EXPECT_DOUBLE_EQ(ScreensaverFrames::fillRegionWidth(QSize(1920, 1080), keyframe), 800.0);
    EXPECT_DOUBLE_EQ(ScreensaverFrames::fillRegionWidth(QSize(1024, 768), keyframe), 800.0);
    // Taller (a portrait screen, a preview): the whole height, cut at the sides.
    EXPECT_DOUBLE_EQ(ScreensaverFrames::fillRegionWidth(QSize(1080, 1920), keyframe), 600.0 * 1080 / 1920);
    EXPECT_DOUBLE_EQ(ScreensaverFrames::fillRegionWidth(QSize(300, 300), keyframe), 600.0);
}
