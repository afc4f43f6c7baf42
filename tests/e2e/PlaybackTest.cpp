// SPDX-License-Identifier: GPL-3.0-or-later
// Playback as a person sees it: forward zooms (the picture changes from screenshot to
// screenshot), pause holds the picture, to-end shows the end card, backward zooms out again.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

namespace {
class Playback : public PlayerFixture
{
protected:
    QImage zoomArea(const QImage &shot) const { return shot.copy(layout::zoomMittel); }

    // Clicks forward and waits until the start card has given way to the zoom.
    void startZoomingIn()
    {
        clickControl(layout::bsVorwaerts);
        const QImage startCard = zoomArea(m_startScreen);
        const QImage shot = waitForScreen(
            QStringLiteral("forward"),
            [&](const QImage &s) { return !comparePixels(zoomArea(s), startCard).same(); }, 3000);
        ASSERT_FALSE(comparePixels(zoomArea(shot), startCard).same()) << "forward did not start the zoom";
    }
};

// The digits of the read-out, without the label's last rows (the words label starts there).
constexpr QRect digits = layout::bfFaktor2.adjusted(0, 0, 0, -2);
}   // namespace

TEST_F(Playback, ForwardZoomsAndPauseHoldsThePicture)
{
    // At launch the to-end button looks disabled and takes no clicks.
    clickControl(layout::bsZumEnde);
    pause(400);
    const PixelDiff launch = comparePixels(screen(QStringLiteral("to-end-at-launch")), m_startScreen);
    EXPECT_TRUE(launch.same()) << "to-end reacted right after launch: " << launch.describe();

    ASSERT_NO_FATAL_FAILURE(startZoomingIn());
    QImage previous = screen(QStringLiteral("zooming-0"));
    for (int i = 1; i <= 5; ++i) {
        pause(120);
        const QImage next = screen(QStringLiteral("zooming-%1").arg(i));
        EXPECT_FALSE(comparePixels(zoomArea(next), zoomArea(previous)).same())
            << "the picture stood still between screenshots " << i - 1 << " and " << i;
        previous = next;
    }

    clickControl(layout::bsPause);
    pause(150);
    const QImage paused = screen(QStringLiteral("paused"));
    pause(500);
    const PixelDiff held = comparePixels(screen(QStringLiteral("paused-0.5s-later")), paused);
    EXPECT_TRUE(held.same()) << "the screen changed while paused: " << held.describe();
}

TEST_F(Playback, ToEndShowsTheEndCardAndBackwardZoomsOutFromIt)
{
    ASSERT_NO_FATAL_FAILURE(startZoomingIn());
    clickControl(layout::bsPause);
    clickControl(layout::bsZumEnde);
    const QImage endCard = keyframeCentre(63, layout::zoomMittel.size());
    const QImage atEnd = waitForScreen(
        QStringLiteral("end"), [&](const QImage &s) { return comparePixels(zoomArea(s), endCard).same(); },
        3000);
    const PixelDiff end = comparePixels(zoomArea(atEnd), endCard);
    ASSERT_TRUE(end.same()) << "the end card is not on screen: " << end.describe();

    // 2^61 has 19 digits; zooming out, the factor soon falls below 10^18 and the right-aligned
    // number gets one digit shorter: its left edge moves right.
    const int endDigitsAt = leftmostGreenColumn(atEnd, digits);
    ASSERT_GE(endDigitsAt, 0) << "no read-out at the end";
    clickControl(layout::bsRueckwaerts);
    const QImage out = waitForScreen(
        QStringLiteral("zooming-out"),
        [&](const QImage &s) { return leftmostGreenColumn(s, digits) > endDigitsAt; }, 8000);
    EXPECT_GT(leftmostGreenColumn(out, digits), endDigitsAt) << "the zoom factor did not go down";
    EXPECT_FALSE(comparePixels(zoomArea(out), endCard).same()) << "the picture did not leave the end card";
    // The read-out changes once a tick: a screenshot taken within the same tick may show it unchanged.
    const auto changed = [&](const QImage &s) {
        return !comparePixels(s.copy(digits), out.copy(digits)).same();
    };
    EXPECT_TRUE(changed(waitForScreen(QStringLiteral("zooming-out-later"), changed, 1000)))
        << "the read-out stood still";
}
