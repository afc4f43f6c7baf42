// SPDX-License-Identifier: GPL-3.0-or-later
// Endurance at the fastest settings: repeat mode "beide Richtungen" carries the zoom through the
// whole depth again and again, with real timers and the real loader thread.
#include "InProcessPlayer.h"
#include "KeyframeSpoiler.h"
#include "LoaderClock.h"
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "TickObserver.h"
#include "ZoomState.h"

#include <QAction>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

TEST(BidiEndurance, TenCrossingsOfTheFullDepthWithoutARefusedTickOrGrowingMemory)
{
    ensurePlayerWindows();
    KeyframeSpoiler::install();
    KeyframeSpoiler::spoil(0);
    returnToStart();
    applySpeedSettings(100, 14);   // "maximal": 60 ticks per second; zoom speed 100
    ASSERT_EQ(ZoomState.frameRate, 60);
    ASSERT_NEAR(ZoomState.stepFactor, 1.1891161, 1e-7);
    fmZoom->beideRichtungen1->trigger();
    ASSERT_EQ(ZoomState.repeatMode, QStringLiteral("BIDI"));

    // One crossing runs from one end of the run to the other: 61 keyframes, four ticks each.
    // Ten crossings are five journeys in and five out; each ends with a reversal.
    constexpr int crossings = 10;
    const LoaderClock loader;
    TickObserver ticks(&loader);
    long residentAfterFirst = 0, residentAfterLast = 0;
    ticks.onReversal = [&] {
        if (ticks.reversals == 1)
            residentAfterFirst = residentKilobytes();
        if (ticks.reversals == crossings)
            residentAfterLast = residentKilobytes();
    };
    clickOnMonitor(fmMonitor->bsVorwaerts);
    const bool done = QTest::qWaitFor([&] { return ticks.reversals >= crossings; }, 150000);
    clickOnMonitor(fmMonitor->bsPause);
    fmZoom->Aus1->trigger();

    ASSERT_TRUE(done) << "only " << ticks.reversals << " crossings; " << ticks.ticks << " ticks";
    EXPECT_EQ(ticks.deepestFrame, ZoomState.lastFrame);
    const int ticksPerKeyframe = int(std::log(2.0) / std::log(ZoomState.stepFactor));
    EXPECT_GE(ticks.ticks, crossings * (ZoomState.lastFrame - ZoomState.firstFrame + 1) * ticksPerKeyframe);
    // A tick held because other processes kept the loader from a processor says nothing about
    // it; one held because the loader slept, never finished or needed more processor time than a
    // keyframe's ticks last does.
    const double segmentMs = ticksPerKeyframe * (1000 / ZoomState.frameRate);
    const TickObserver::Causes causes = ticks.refusedCauses(segmentMs);
    EXPECT_EQ(causes.byLoader, 0) << "ticks refused because of the loader:\n"
                                  << causes.loaderFaults.join(QLatin1Char('\n')).toStdString();

    ASSERT_GT(residentAfterFirst, 0);
    const double growth = double(residentAfterLast - residentAfterFirst) / double(residentAfterFirst);
    EXPECT_LE(std::abs(growth), 0.05) << "resident memory after the first crossing " << residentAfterFirst
                                      << " kB, after the last " << residentAfterLast << " kB";
    std::printf("%d ticks, %d crossings, %d background loads of at most %.1f ms processor time; "
                "%d ticks held while other processes had the processors; "
                "VmRSS %ld kB after the first crossing, %ld kB after the last\n",
                ticks.ticks, ticks.reversals, loader.completedLoads(), loader.maximumProcessorMs(),
                causes.waitedForMachine, residentAfterFirst, residentAfterLast);
}
