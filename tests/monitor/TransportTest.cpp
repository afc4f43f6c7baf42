// SPDX-License-Identifier: GPL-3.0-or-later
// The transport buttons: every playback state and transition, driven by clicks on the casing.
// The launch-state test must stay the first test of this program.
#include "MonitorFixture.h"
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {
const std::string atStart = "DDDNN", zooming = "DDNDD", paused = "NNDNN", atEnd = "NNDDD";
const QString endDigits = QStringLiteral("2305843009213693952");
const QString endWords = QStringLiteral("(2,3 Trillionen)");

bool waitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, 10000);
}

// Zooms in from the start card for a few ticks, then pauses.
void pauseAfterZoomingIn()
{
    clickOn(fmMonitor->bsVorwaerts);
    ASSERT_TRUE(waitFor([] { return ZoomState.scale > 1.1; }));
    clickOn(fmMonitor->bsPause);
}

void expectStillAtStart()
{
    EXPECT_EQ(pairLooks(), atStart);
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(fmZoom->zgZoomOut->isActive());
    EXPECT_EQ(currentFrame, 2);
    EXPECT_EQ(ZoomState.scale, 1.0);
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));
    EXPECT_TRUE(fmMonitor->bfFaktor3->text().isEmpty());
    EXPECT_EQ(shownView(), keyframeView(1));
}

void expectStillAtEnd()
{
    EXPECT_EQ(pairLooks(), atEnd);
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(fmZoom->zgZoomOut->isActive());
    EXPECT_EQ(currentFrame, 63);
    EXPECT_EQ(ZoomState.scale, 1.0);
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), endDigits);
    EXPECT_EQ(fmMonitor->bfFaktor3->text(), endWords);
    EXPECT_EQ(shownView(), keyframeView(63));
}

void expectZooming(bool in)
{
    EXPECT_EQ(pairLooks(), zooming);
    EXPECT_EQ(fmZoom->zgZoomIn->isActive(), in);
    EXPECT_EQ(fmZoom->zgZoomOut->isActive(), !in);
    EXPECT_EQ((in ? fmZoom->zgZoomIn : fmZoom->zgZoomOut)->interval(), 1000 / ZoomState.frameRate);
}

void expectPaused()
{
    EXPECT_EQ(pairLooks(), paused);
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(fmZoom->zgZoomOut->isActive());
}

bool panelShown(QWidget *panel)
{
    return panel->isVisible() && fmZoom->shBackground->isVisible();
}
}

TEST(LaunchState, OnlyForwardReactsAndToEndLooksDisabledUntilThePause)
{
    if (!ensurePlayerWindows())
        GTEST_SKIP() << "the windows were driven by an earlier test of this run";
    EXPECT_EQ(pairLooks(), "DDDNL");
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(fmZoom->zgZoomOut->isActive());
    EXPECT_EQ(shownView(), keyframeView(1));
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));

    // The to-end image lies above its enabled button and takes the click.
    EXPECT_EQ(controlHitAt(fmMonitor->bsZumEnde), fmMonitor->bsZumEndeD);
    const PlaybackSnapshot launch = playbackSnapshot();
    for (PictureControl *button :
         {fmMonitor->bsZumEnde, fmMonitor->bsZumAnfang, fmMonitor->bsRueckwaerts, fmMonitor->bsPause}) {
        clickOn(button);
        EXPECT_EQ(playbackSnapshot(), launch) << button->objectName().toStdString();
    }
    EXPECT_EQ(shownView(), keyframeView(1));

    clickOn(fmMonitor->bsVorwaerts);
    expectZooming(true);
    clickOn(fmMonitor->bsPause);
    expectPaused();
    // From the first pause on, to-end has its normal look and reacts.
    EXPECT_EQ(controlHitAt(fmMonitor->bsZumEnde), fmMonitor->bsZumEnde);
    clickOn(fmMonitor->bsZumEnde);
    expectStillAtEnd();
}

TEST_F(MonitorTest, ForwardAtStartReplacesTheStartCardAtOnceThenZoomsIn)
{
    expectStillAtStart();
    clickOn(fmMonitor->bsVorwaerts);
    expectZooming(true);
    // Keyframe 2 at scale 1 before the first tick: the card's text is gone, the read-out is not.
    EXPECT_EQ(currentFrame, 2);
    EXPECT_EQ(pendingFrame.load(), 3);
    EXPECT_EQ(ZoomState.scale, 1.0);
    EXPECT_EQ(shownView(), keyframeView(2));
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));
    ASSERT_TRUE(waitFor([] { return ZoomState.scale > 1.0; }));
    EXPECT_NE(shownView(), keyframeView(2));
    EXPECT_NE(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));
}

TEST_F(MonitorTest, StillPicturesAreReachedFromEveryStateThatOffersThem)
{
    // at start -> to the end, at end -> to the start.
    clickOn(fmMonitor->bsZumEnde);
    expectStillAtEnd();
    clickOn(fmMonitor->bsZumAnfang);
    expectStillAtStart();
    // paused -> to the start, paused -> to the end.
    pauseAfterZoomingIn();
    expectPaused();
    clickOn(fmMonitor->bsZumAnfang);
    expectStillAtStart();
    pauseAfterZoomingIn();
    clickOn(fmMonitor->bsZumEnde);
    expectStillAtEnd();
}

TEST_F(MonitorTest, PauseThenForwardOrBackwardContinuesFromTheIdenticalPicture)
{
    ZoomState.frameRate = 100;
    for (bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "forward" : "backward");
        // Past a keyframe change, so that bitmap B was on display when pausing.
        clickOn(fmMonitor->bsVorwaerts);
        ASSERT_TRUE(waitForFrame(3));
        ASSERT_TRUE(waitFor([] { return ZoomState.scale > 1.2; }));
        clickOn(fmMonitor->bsPause);
        expectPaused();
        const QImage stopped = shownView();
        const PlaybackSnapshot before = playbackSnapshot();
        QTest::qWait(60);   // a paused zoom stays still
        EXPECT_EQ(shownView(), stopped);

        clickOn(forward ? fmMonitor->bsVorwaerts : fmMonitor->bsRueckwaerts);
        expectZooming(forward);
        EXPECT_EQ(shownView(), stopped);
        EXPECT_EQ(currentFrame, before.frame);
        EXPECT_EQ(ZoomState.scale, before.scale);
        EXPECT_EQ(fmMonitor->bfFaktor2->text(), before.digits);
        EXPECT_EQ(ZoomState.activeBitmap.load(), 'A');
        EXPECT_EQ(pendingFrame.load(), forward ? before.frame + 1 : before.frame - 1);
        ASSERT_TRUE(waitFor([&] { return ZoomState.scale != before.scale; }));
        EXPECT_EQ(ZoomState.scale > before.scale, forward);
        clickOn(fmMonitor->bsZumAnfang);   // disabled while zooming: nothing happens
        EXPECT_TRUE((forward ? fmZoom->zgZoomIn : fmZoom->zgZoomOut)->isActive());
        clickOn(fmMonitor->bsPause);
        clickOn(fmMonitor->bsZumAnfang);
        expectStillAtStart();
    }
}

TEST_F(MonitorTest, BackwardAtEndShowsTheEndCardThenLeavesIt)
{
    clickOn(fmMonitor->bsZumEnde);
    clickOn(fmMonitor->bsRueckwaerts);
    expectZooming(false);
    EXPECT_EQ(currentFrame, 63);
    EXPECT_EQ(pendingFrame.load(), 62);
    EXPECT_EQ(shownView(), keyframeView(63));
    ASSERT_TRUE(waitForFrame(62));
    EXPECT_GT(ZoomState.scale, 1.0);
    EXPECT_LT(ZoomState.scale, 2.0);
    expectZooming(false);
}

TEST_F(MonitorTest, PauseStopsAtTheCurrentPictureInBothDirections)
{
    for (bool in : {true, false}) {
        SCOPED_TRACE(in ? "zooming in" : "zooming out");
        if (!in)
            clickOn(fmMonitor->bsZumEnde);
        clickOn(in ? fmMonitor->bsVorwaerts : fmMonitor->bsRueckwaerts);
        ASSERT_TRUE(waitFor([] { return ZoomState.scale != 1.0; }));
        clickOn(fmMonitor->bsPause);
        expectPaused();
        const PlaybackSnapshot stopped = playbackSnapshot();
        const QImage picture = shownView();
        QTest::qWait(80);
        EXPECT_EQ(playbackSnapshot(), stopped);
        EXPECT_EQ(shownView(), picture);
        clickOn(fmMonitor->bsZumAnfang);
    }
}

TEST_F(MonitorTest, SpeedOrInfoWhileZoomingPausesAndShowsThePanelOverBlack)
{
    for (bool speed : {true, false}) {
        for (bool in : {true, false}) {
            SCOPED_TRACE(std::string(speed ? "speed" : "info") + (in ? ", zooming in" : ", zooming out"));
            clickOn(in ? fmMonitor->bsZumAnfang : fmMonitor->bsZumEnde);
            clickOn(in ? fmMonitor->bsVorwaerts : fmMonitor->bsRueckwaerts);
            expectZooming(in);
            clickOn(speed ? fmMonitor->bsSpeed : fmMonitor->bsInfo);
            expectPaused();
            EXPECT_TRUE(panelShown(speed ? fmZoom->gbSpeed : fmZoom->gbInfo));
            EXPECT_FALSE((speed ? fmZoom->gbInfo : fmZoom->gbSpeed)->isVisible());
            // The picture is covered: nothing but the black background and the panel.
            const QImage view = shownView();
            EXPECT_EQ(view.pixel(1, 1), qRgb(0, 0, 0));
        }
    }
}

TEST_F(MonitorTest, SpeedOrInfoInAStillStateOnlyShowsThePanel)
{
    for (int state = 0; state < 3; ++state) {
        for (bool speed : {true, false}) {
            SCOPED_TRACE(std::to_string(state) + (speed ? " speed" : " info"));
            clickOn(fmMonitor->bsZumAnfang);
            if (state == 1)
                pauseAfterZoomingIn();
            if (state == 2)
                clickOn(fmMonitor->bsZumEnde);
            const PlaybackSnapshot before = playbackSnapshot();
            clickOn(speed ? fmMonitor->bsSpeed : fmMonitor->bsInfo);
            EXPECT_EQ(playbackSnapshot(), before);
            EXPECT_TRUE(panelShown(speed ? fmZoom->gbSpeed : fmZoom->gbInfo));
            // Any transport button that reacts closes the panel and removes the black.
            clickOn(state == 2 ? fmMonitor->bsRueckwaerts : fmMonitor->bsVorwaerts);
            EXPECT_FALSE(fmZoom->gbSpeed->isVisible());
            EXPECT_FALSE(fmZoom->gbInfo->isVisible());
            EXPECT_FALSE(fmZoom->shBackground->isVisible());
            clickOn(fmMonitor->bsPause);
        }
    }
}

TEST_F(MonitorTest, SpeedAndInfoReplaceEachOtherAndSpeedReloadsTheAppliedSettings)
{
    clickOn(fmMonitor->bsSpeed);
    ASSERT_TRUE(panelShown(fmZoom->gbSpeed));
    // Moved but not applied.
    fmZoom->sbZoom->setValue(ZoomState.speedPosition == 10 ? 20 : 10);
    fmZoom->cbFramerate->setCurrentIndex(ZoomState.frameRateIndex == 0 ? 1 : 0);
    clickOn(fmMonitor->bsInfo);
    EXPECT_TRUE(panelShown(fmZoom->gbInfo));
    EXPECT_FALSE(fmZoom->gbSpeed->isVisible());
    clickOn(fmMonitor->bsSpeed);
    EXPECT_TRUE(panelShown(fmZoom->gbSpeed));
    EXPECT_FALSE(fmZoom->gbInfo->isVisible());
    EXPECT_EQ(fmZoom->sbZoom->value(), ZoomState.speedPosition);
    EXPECT_EQ(fmZoom->cbFramerate->currentIndex(), ZoomState.frameRateIndex);
    // Opening a shown panel again keeps it shown.
    clickOn(fmMonitor->bsSpeed);
    EXPECT_TRUE(panelShown(fmZoom->gbSpeed));
    EXPECT_EQ(pairLooks(), atStart);
}

TEST_F(MonitorTest, DisabledPairsIgnoreClicksInEveryState)
{
    const auto clickEveryDisabledPair = [](const char *state) {
        SCOPED_TRACE(state);
        const PlaybackSnapshot before = playbackSnapshot();
        const bool still = !before.zoomingIn && !before.zoomingOut;
        for (PictureControl *button : {fmMonitor->bsZumAnfang, fmMonitor->bsRueckwaerts, fmMonitor->bsPause,
                                       fmMonitor->bsVorwaerts, fmMonitor->bsZumEnde}) {
            if (button->isEnabled())
                continue;
            const QWidget *image = fmMonitor->findChild<QWidget *>(button->objectName() + QLatin1Char('D'));
            EXPECT_EQ(controlHitAt(button), image) << button->objectName().toStdString();
            clickOn(button);
            const PlaybackSnapshot after = playbackSnapshot();
            EXPECT_EQ(after.looks, before.looks);
            EXPECT_EQ(after.zoomingIn, before.zoomingIn);
            EXPECT_EQ(after.zoomingOut, before.zoomingOut);
            if (still) {
                EXPECT_EQ(after, before);
            }
        }
    };
    clickEveryDisabledPair("at start");
    clickOn(fmMonitor->bsVorwaerts);
    clickEveryDisabledPair("zooming in");
    // Deep enough into keyframe 2 that zooming out does not reach the start card meanwhile.
    ASSERT_TRUE(waitFor([] { return ZoomState.scale > 1.5; }));
    clickOn(fmMonitor->bsPause);
    clickEveryDisabledPair("paused");
    clickOn(fmMonitor->bsRueckwaerts);
    clickEveryDisabledPair("zooming out");
    clickOn(fmMonitor->bsZumEnde);
    // zooming out disables to-end: the click above did nothing.
    EXPECT_TRUE(fmZoom->zgZoomOut->isActive());
    clickOn(fmMonitor->bsPause);
    clickOn(fmMonitor->bsZumEnde);
    clickEveryDisabledPair("at end");
}

// The end of the zoom run, reached through the real buttons: paused just before it, then
// zooming on at 100 frames per second.
class EndOfRunTest
    : public MonitorTest
    , public ::testing::WithParamInterface<const char *>
{
protected:
    void pauseJustBeforeTheEnd()
    {
        clickOn(fmMonitor->bsZumEnde);
        clickOn(fmMonitor->bsRueckwaerts);
        ASSERT_TRUE(waitForFrame(62));
        clickOn(fmMonitor->bsPause);
        ZoomState.repeatMode = QString::fromLatin1(GetParam());
        ZoomState.frameRate = 100;
    }
    void pauseJustAfterTheStart()
    {
        clickOn(fmMonitor->bsVorwaerts);
        ASSERT_TRUE(waitFor([] { return ZoomState.scale > 1.0; }));
        clickOn(fmMonitor->bsPause);
        ASSERT_EQ(currentFrame, 2);
        ZoomState.repeatMode = QString::fromLatin1(GetParam());
        ZoomState.frameRate = 100;
    }
};

TEST_P(EndOfRunTest, ZoomingInPastTheLastKeyframe)
{
    pauseJustBeforeTheEnd();
    const QString mode = ZoomState.repeatMode;
    clickOn(fmMonitor->bsVorwaerts);
    if (mode == QLatin1String("OFF")) {
        ASSERT_TRUE(waitFor([] { return currentFrame == 63 && !fmZoom->zgZoomIn->isActive(); }));
        expectStillAtEnd();
    } else if (mode == QLatin1String("ON")) {
        // Straight on inward from keyframe 2, without the start card.
        ASSERT_TRUE(waitForFrame(2));
        expectZooming(true);
        EXPECT_LT(ZoomState.scale, 2.0);
        EXPECT_EQ(pendingFrame.load(), 3);
        EXPECT_NE(shownView(), keyframeView(1));
    } else {
        ASSERT_TRUE(waitFor([] { return fmZoom->zgZoomOut->isActive(); }));
        expectZooming(false);
        EXPECT_EQ(currentFrame, 62);
        EXPECT_LE(ZoomState.scale, 2.0);
        EXPECT_EQ(pendingFrame.load(), 61);
    }
}

TEST_P(EndOfRunTest, ZoomingOutPastTheFirstKeyframe)
{
    pauseJustAfterTheStart();
    const QString mode = ZoomState.repeatMode;
    clickOn(fmMonitor->bsRueckwaerts);
    if (mode == QLatin1String("OFF")) {
        ASSERT_TRUE(waitFor([] { return !fmZoom->zgZoomOut->isActive(); }));
        expectStillAtStart();
    } else if (mode == QLatin1String("ON")) {
        // Straight on outward from the deepest view.
        ASSERT_TRUE(waitForFrame(62));
        expectZooming(false);
        EXPECT_LE(ZoomState.scale, 2.0);
        EXPECT_EQ(pendingFrame.load(), 61);
    } else {
        ASSERT_TRUE(waitFor([] { return fmZoom->zgZoomIn->isActive(); }));
        expectZooming(true);
        EXPECT_EQ(currentFrame, 2);
        EXPECT_GE(ZoomState.scale, 1.0);
        EXPECT_EQ(pendingFrame.load(), 3);
    }
}

INSTANTIATE_TEST_SUITE_P(RepeatModes, EndOfRunTest, ::testing::Values("OFF", "ON", "BIDI"));

TEST_F(MonitorTest, OpenedWebPagePausesEveryStateAndMinimises)
{
    int opened = 0;
    fmZoom->setUrlOpener([&opened](const QUrl &) { return ++opened, true; });
    const auto openWebPage = [] {
        clickOn(fmMonitor->bsWWW);
        expectPaused();
        EXPECT_TRUE(fmMonitor->isMinimized());
        fmMonitor->showNormal();
    };
    openWebPage();   // at start
    // Backward and to-start now react at the start position; zooming out of keyframe 2 ends
    // at the start card again.
    ZoomState.frameRate = 100;
    clickOn(fmMonitor->bsRueckwaerts);
    expectZooming(false);
    ASSERT_TRUE(waitFor([] { return !fmZoom->zgZoomOut->isActive(); }));
    expectStillAtStart();

    clickOn(fmMonitor->bsVorwaerts);
    openWebPage();   // zooming in
    clickOn(fmMonitor->bsZumEnde);
    openWebPage();   // at end
    EXPECT_EQ(opened, 3);

    // Forward on the end card would need a keyframe beyond the last one: the click does nothing.
    const PlaybackSnapshot onEndCard = playbackSnapshot();
    ASSERT_EQ(onEndCard.frame, 63);
    ASSERT_TRUE(fmMonitor->bsVorwaerts->isEnabled());
    clickOn(fmMonitor->bsVorwaerts);
    EXPECT_EQ(playbackSnapshot(), onEndCard);
    EXPECT_EQ(shownView(), keyframeView(63));
    // Backward goes on as from the still picture at the end.
    clickOn(fmMonitor->bsRueckwaerts);
    expectZooming(false);
    // Paused before the first tick, still on the end card: forward does nothing either.
    clickOn(fmMonitor->bsPause);
    ASSERT_EQ(currentFrame, 63);
    clickOn(fmMonitor->bsVorwaerts);
    expectPaused();
}

TEST_F(MonitorTest, WebPageThatCannotBeOpenedLeavesTheZoomRunning)
{
    fmZoom->setUrlOpener([](const QUrl &) { return false; });
    clickOn(fmMonitor->bsVorwaerts);
    // The error message is modal: close it once it is up.
    bool messageShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            messageShown = true;
            closer.stop();
            box->close();
        }
    });
    closer.start(10);
    clickOn(fmMonitor->bsWWW);
    EXPECT_TRUE(messageShown);
    expectZooming(true);
    EXPECT_FALSE(fmMonitor->isMinimized());
}
