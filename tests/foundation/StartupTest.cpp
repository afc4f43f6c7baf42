// Start values before any window exists, then the start-up of both windows as the program does it.
// The start-value test must stay the first test of this program when all run in one process.
#include "FrameRenderer.h"
#include "KeyframeStore.h"
#include "MyThread.h"
#include "PictureControl.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

TEST(StartValues, BeforeAnyWindowExists)
{
    runUnitStartSteps();
    EXPECT_EQ(fmMonitor, nullptr);
    EXPECT_EQ(fmZoom, nullptr);
    EXPECT_EQ(loaderThread, nullptr);
    EXPECT_DOUBLE_EQ(ZoomState.viewRatio, 0.8);
    EXPECT_EQ(ZoomState.repeatMode, QStringLiteral("OFF"));
    EXPECT_EQ(ZoomState.activeBitmap.load(), 'A');
    EXPECT_TRUE(ZoomState.nextReady.load());
    EXPECT_EQ(ZoomState.scale, 1.0);
    EXPECT_EQ(ZoomState.totalZoom, 1.0L);
    EXPECT_TRUE(ZoomState.bitmapA.isNull());
    EXPECT_TRUE(ZoomState.bitmapB.isNull());
    EXPECT_EQ(ZoomState.frameWidth, 800);
    EXPECT_EQ(ZoomState.frameHeight, 600);
    EXPECT_EQ(ZoomState.viewWidth, 640);
    EXPECT_EQ(ZoomState.viewHeight, 480);
    EXPECT_EQ(ZoomState.firstFrame, 2);
    EXPECT_EQ(ZoomState.lastFrame, 62);
    EXPECT_EQ(ZoomState.frameRate, 30);
    EXPECT_EQ(ZoomState.stepFactor, 1.04);
    EXPECT_EQ(ZoomState.frontImage, 0);
    EXPECT_EQ(ZoomState.speedPosition, 50);
    EXPECT_EQ(ZoomState.frameRateIndex, 11);
    EXPECT_EQ(currentFrame, 0);
    EXPECT_EQ(pendingFrame.load(), 0);
    ASSERT_NE(casingBitmap, nullptr);
    EXPECT_TRUE(casingBitmap->isNull());
}

TEST(Startup, WindowsStandAtTheirPlacesWithTheStartCard)
{
    setKeyframeSource({});
    runUnitStartSteps();
    createPlayerWindows();
    ASSERT_NE(fmMonitor, nullptr);
    ASSERT_NE(fmZoom, nullptr);
    ASSERT_NE(loaderThread, nullptr);

    EXPECT_EQ(fmMonitor->geometry(), QRect(0, 0, 704, 600));
    EXPECT_EQ(fmZoom->geometry(), QRect(32, 24, 640, 480));
    EXPECT_TRUE(fmMonitor->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(fmZoom->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(fmZoom->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(fmMonitor->isVisible());
    EXPECT_TRUE(fmZoom->isVisible());   // shown by the monitor's show handler

    EXPECT_EQ(currentFrame, 2);
    EXPECT_EQ(ZoomState.activeBitmap.load(), 'A');
    EXPECT_EQ(ZoomState.totalZoom, 1.0L);
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));
    EXPECT_TRUE(fmMonitor->bfFaktor3->text().isEmpty());

    // Only forward reacts; to-end is enabled but lies under its shown disabled-look image.
    EXPECT_FALSE(fmMonitor->bsZumAnfang->isEnabled());
    EXPECT_FALSE(fmMonitor->bsRueckwaerts->isEnabled());
    EXPECT_FALSE(fmMonitor->bsPause->isEnabled());
    EXPECT_TRUE(fmMonitor->bsVorwaerts->isEnabled());
    EXPECT_TRUE(fmMonitor->bsZumEnde->isEnabled());
    EXPECT_TRUE(fmMonitor->bsZumEndeD->isVisible());
    EXPECT_FALSE(fmMonitor->bsVorwaertsD->isVisible());
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(fmZoom->zgZoomOut->isActive());
    EXPECT_FALSE(fmZoom->zgReserve->isActive());

    // The start card's centre, pixel for pixel, on the surface drawn last.
    const QImage startCard = ZoomState.bitmapA.copy(80, 60, 640, 480);
    const QImage shown = fmZoom->surfaceCanvas(ZoomState.frontImage).copy(0, 0, 640, 480);
    EXPECT_EQ(shown, startCard);
    EXPECT_EQ(sourceRect.left, 80);
    EXPECT_EQ(sourceRect.bottom, 540);
}
