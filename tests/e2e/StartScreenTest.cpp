// SPDX-License-Identifier: GPL-3.0-or-later
// The player right after launch, judged from the screen: where the windows stand, the start card
// pixel for pixel, the read-out, and the see-through corners of the casing.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

namespace {
class StartScreen : public PlayerFixture
{
};

// The outermost pixel of each casing corner and the direction towards the inside.
struct Corner
{
    QPoint outer;
    int dx, dy;
};

QList<Corner> cornersOf(const QRect &r)
{
    return {{r.topLeft(), 1, 1}, {r.topRight(), -1, 1}, {r.bottomLeft(), 1, -1}, {r.bottomRight(), -1, -1}};
}
}   // namespace

TEST_F(StartScreen, WindowsStandAtTheirPlacesAndShowTheStartCardPixelForPixel)
{
    const Windows w = windows();
    EXPECT_EQ(w.monitor, layout::monitorMittel);
    EXPECT_EQ(w.zoom, layout::zoomMittel);

    const PixelDiff card =
        comparePixels(m_startScreen.copy(layout::zoomMittel), keyframeCentre(1, layout::zoomMittel.size()));
    EXPECT_TRUE(card.same()) << card.describe();

    // The zoom window lies exactly on the casing's screen area: the casing's one-pixel grey frame
    // shows all around it.
    const QRect frame = layout::zoomMittel.adjusted(-1, -1, 1, 1);
    for (int x = frame.left(); x <= frame.right(); ++x) {
        ASSERT_EQ(m_startScreen.pixel(x, frame.top()), qRgb(120, 120, 120)) << "x " << x;
        ASSERT_EQ(m_startScreen.pixel(x, frame.bottom()), qRgb(120, 120, 120)) << "x " << x;
    }
    for (int y = frame.top(); y <= frame.bottom(); ++y) {
        ASSERT_EQ(m_startScreen.pixel(frame.left(), y), qRgb(120, 120, 120)) << "y " << y;
        ASSERT_EQ(m_startScreen.pixel(frame.right(), y), qRgb(120, 120, 120)) << "y " << y;
    }

    // The read-out: digits ("1,000") in green, no words below one million.
    EXPECT_GE(leftmostGreenColumn(m_startScreen, layout::bfFaktor2.adjusted(0, 0, 0, -2)), 0);
    EXPECT_EQ(leftmostGreenColumn(m_startScreen, layout::bfFaktor3), -1);
}

TEST_F(StartScreen, CasingCornersShowTheDesktopAndLetClicksThrough)
{
    const QRect monitor = windows().monitor;
    int seeThrough = 0;
    for (const Corner &c : cornersOf(monitor)) {
        for (int row = 0; row < int(layout::cornerRows.size()); ++row) {
            const int y = c.outer.y() + c.dy * row;
            for (int col = 0; col < layout::cornerRows[row]; ++col) {
                const QPoint p(c.outer.x() + c.dx * col, y);
                EXPECT_EQ(m_startScreen.pixel(p), XvfbServer::rootColour)
                    << "corner pixel " << ::testing::PrintToString(p);
                seeThrough += m_startScreen.pixel(p) == XvfbServer::rootColour;
            }
            const QPoint casing(c.outer.x() + c.dx * layout::cornerRows[row], y);
            EXPECT_NE(m_startScreen.pixel(casing), XvfbServer::rootColour)
                << "casing pixel " << ::testing::PrintToString(casing);
        }
        const QPoint belowCorner(c.outer.x(), c.outer.y() + c.dy * int(layout::cornerRows.size()));
        EXPECT_NE(m_startScreen.pixel(belowCorner), XvfbServer::rootColour);
    }
    EXPECT_EQ(seeThrough, 92);

    // A right click on the casing would open the context menu; on a see-through corner pixel
    // it reaches the desktop behind, so nothing of the player reacts.
    for (const Corner &c : cornersOf(monitor))
        m_desktop->rightClick(c.outer);
    pause(400);
    EXPECT_EQ(m_desktop->visibleWindows(m_player->pid()).size(), 2) << "a menu opened";
    const PixelDiff unchanged = comparePixels(screen(QStringLiteral("after-corner-clicks")), m_startScreen);
    EXPECT_TRUE(unchanged.same()) << unchanged.describe();
    EXPECT_TRUE(m_player->isRunning());

    // The same click one pixel further in, on the casing, does open it.
    m_desktop->rightClick(monitor.topLeft() + QPoint(layout::cornerRows[0], 0));
    EXPECT_TRUE(waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 3; }, 3000))
        << "no context menu on the casing";
    screen(QStringLiteral("casing-right-click"));
    m_desktop->key(QStringLiteral("Escape"));
}
