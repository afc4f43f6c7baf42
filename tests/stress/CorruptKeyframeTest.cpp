// SPDX-License-Identifier: GPL-3.0-or-later
// Keyframe data that cannot be decoded, met by the background loader and by the GUI side.
#include "ErrorReportCatcher.h"
#include "InProcessPlayer.h"
#include "KeyframeSpoiler.h"
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "TickObserver.h"
#include "ZoomState.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
class CorruptKeyframe : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensurePlayerWindows();
        KeyframeSpoiler::install();
        KeyframeSpoiler::spoil(0);
        returnToStart();
        applySpeedSettings(100, 14);   // 16 ms ticks, about four ticks per keyframe
        ASSERT_EQ(ZoomState.frameRate, 60);
    }
    void TearDown() override
    {
        KeyframeSpoiler::spoil(0);
        returnToStart();
    }
};
}   // namespace

TEST_F(CorruptKeyframe, LoaderFailureHoldsTheZoomAtTheBoundaryAndTheLoaderTakesTheNextRequest)
{
    constexpr int spoiled = 6;   // asked of the loader at the swap to keyframe 5
    KeyframeSpoiler::spoil(spoiled);
    const int loaderHitsBefore = KeyframeSpoiler::spoiledLoadsOnLoader();
    TickObserver ticks;
    clickOnMonitor(fmMonitor->bsVorwaerts);

    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.refused >= 10; }, 10000))
        << "the zoom did not hold; it is at keyframe " << currentFrame;
    EXPECT_GT(KeyframeSpoiler::spoiledLoadsOnLoader(), loaderHitsBefore);
    EXPECT_EQ(currentFrame, spoiled - 1);
    EXPECT_GT(ZoomState.scale * ZoomState.stepFactor, 2.0) << "held before the boundary";
    EXPECT_FALSE(ZoomState.nextReady.load());

    // Holding: ticks keep coming and are refused; scale, keyframe, picture and read-out stay.
    const double heldScale = ZoomState.scale;
    const int heldFront = ZoomState.frontImage;
    const QImage heldPicture = fmZoom->surfaceCanvas(heldFront).copy();
    const QString heldReadout = fmMonitor->bfFaktor2->text();
    const int refusedBefore = ticks.refused;
    QTest::qWait(300);
    EXPECT_GT(ticks.refused, refusedBefore + 5);
    EXPECT_EQ(ZoomState.scale, heldScale);
    EXPECT_EQ(currentFrame, spoiled - 1);
    EXPECT_EQ(ZoomState.frontImage, heldFront);
    EXPECT_EQ(fmZoom->surfaceCanvas(heldFront), heldPicture);
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), heldReadout);
    EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
    EXPECT_TRUE(fmMonitor->bsPause->isEnabled()) << "still zooming as far as the buttons go";

    // Good data again. Pause and forward load keyframes 5 and 6 on the GUI side; the zoom then
    // crosses the boundary, and the keyframes beyond come from the loader again.
    KeyframeSpoiler::spoil(0);
    clickOnMonitor(fmMonitor->bsPause);
    clickOnMonitor(fmMonitor->bsVorwaerts);
    EXPECT_TRUE(QTest::qWaitFor([&] { return currentFrame >= spoiled + 3; }, 10000))
        << "the zoom did not go on; it is at keyframe " << currentFrame;
    clickOnMonitor(fmMonitor->bsPause);
}

TEST_F(CorruptKeyframe, GuiSideFailuresShowTheErrorReportAndTheProgramGoesOn)
{
    ErrorReportCatcher reports;

    // Forward at the start decodes keyframes 2 and 3 on the GUI thread.
    KeyframeSpoiler::spoil(3);
    clickOnMonitor(fmMonitor->bsVorwaerts);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.texts.size() == 1; }, 3000)) << "no error report";
    EXPECT_GT(KeyframeSpoiler::spoiledLoadsOnGui(), 0);
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive()) << "a zoom started on a keyframe that failed to load";

    KeyframeSpoiler::spoil(0);
    if (!fmMonitor->bsVorwaerts->isEnabled())
        clickOnMonitor(fmMonitor->bsPause);
    clickOnMonitor(fmMonitor->bsVorwaerts);
    EXPECT_TRUE(QTest::qWaitFor([&] { return currentFrame >= 5; }, 10000)) << "the zoom does not run";
    clickOnMonitor(fmMonitor->bsPause);

    // To the end decodes the end card on the GUI thread.
    KeyframeSpoiler::spoil(63);
    clickOnMonitor(fmMonitor->bsZumEnde);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.texts.size() == 2; }, 3000)) << "no error report";

    KeyframeSpoiler::spoil(0);
    returnToStart();
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));
    clickOnMonitor(fmMonitor->bsZumEnde);
    EXPECT_EQ(currentFrame, 63);
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("2305843009213693952"));

    // One report per failure, each the error's text with a full stop, with the error icon.
    EXPECT_EQ(reports.texts.size(), 2);
    for (const QString &text : reports.texts) {
        EXPECT_GT(text.size(), 1);
        EXPECT_TRUE(text.endsWith(QLatin1Char('.'))) << text.toStdString();
    }
    EXPECT_TRUE(reports.allCritical);
}
