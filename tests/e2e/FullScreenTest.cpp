// SPDX-License-Identifier: GPL-3.0-or-later
// The player started with --sharp --fullscreen on a screen that Qt scales by 2: the zoom picture
// alone, 4:3 between black bars, drawn at the screen's full resolution; Esc brings the two
// windows back to their places. And under openbox: back to where the windows were dragged.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "PlayerProcess.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {
// Share of horizontally adjacent pixel pairs that are identical: a picture enlarged pixel by
// pixel repeats nearly every pixel, one drawn at the screen's resolution hardly any.
double repeatedPairs(const QImage &picture)
{
    long same = 0, all = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 1; x < picture.width(); ++x, ++all)
            same += picture.pixel(x, y) == picture.pixel(x - 1, y);
    return double(same) / double(all);
}

bool isBlack(const QImage &area)
{
    for (int y = 0; y < area.height(); y += 7)
        for (int x = 0; x < area.width(); x += 7)
            if (qGray(area.pixel(x, y)) > 8)
                return false;
    return true;
}
}

TEST(FullScreen, SharpFullScreenAtScaleTwoAndEscBack)
{
    XvfbServer server(QSize(2048, 1280));
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    QProcessEnvironment environment = server.clientEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    const XDesktop desktop(environment);
    PlayerProcess player(environment);
    ASSERT_TRUE(player.start({QStringLiteral("--sharp"), QStringLiteral("--fullscreen")}));

    // One window over the whole screen.
    const QRect screen(0, 0, 2048, 1280);
    ASSERT_TRUE(waitUntil(
        [&] {
            const QList<XWindow> windows = desktop.visibleWindows(player.pid());
            return windows.size() == 1 && windows.first().geometry == screen;
        },
        10000))
        << player.output().toStdString();
    // The start card, 4:3 in the middle (1280 x 960 logical pixels' worth: 1706 x 1280), bars beside.
    QImage shot;
    EXPECT_TRUE(waitUntil(
        [&] {
            shot = desktop.grabScreen();
            return !isBlack(shot.copy(900, 500, 200, 200)) && isBlack(shot.copy(0, 0, 160, 1280))
                && isBlack(shot.copy(2048 - 160, 0, 160, 1280));
        },
        5000))
        << "no picture between black bars";
    // The fractal on the card (its centre), not its flat background.
    const double fullScreenRepeats = repeatedPairs(shot.copy(760, 440, 500, 440));
    EXPECT_LT(fullScreenRepeats, 0.5);   // pixel by pixel enlarged: 0.65

    desktop.key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] { return desktop.visibleWindows(player.pid()).size() == 2; }, 5000));
    QRect monitor, zoom;
    for (const XWindow &window : desktop.visibleWindows(player.pid()))
        (window.geometry.width() > 1300 ? monitor : zoom) = window.geometry;
    EXPECT_EQ(monitor, QRect(0, 0, 1408, 1200));
    EXPECT_EQ(zoom, QRect(64, 48, 1280, 960));
    // In the window the picture stays sharp: --sharp chose the presentation.
    const double windowRepeats =
        repeatedPairs(desktop.grabScreen().copy(QRect(zoom.center() - QPoint(250, 200), QSize(500, 400))));
    EXPECT_LT(windowRepeats, 0.5);

    desktop.key(QStringLiteral("alt+F4"));
    EXPECT_TRUE(player.waitForExit(5000));
}

// Under openbox: F11 on a picture dragged elsewhere gives the whole screen to the picture alone
// (the casing hidden, not dragged along); Esc brings both windows back where they stood.
class FullScreenUnderOpenbox : public PlayerFixture
{
protected:
    FullScreenUnderOpenbox() { m_underWindowManager = true; }
};

TEST_F(FullScreenUnderOpenbox, F11ThenEscReturnsToTheDraggedPlaces)
{
    m_desktop->drag({300, 200}, {400, 260});
    Windows before;
    ASSERT_TRUE(waitUntil(
        [&] {
            before = windows();
            return before.zoom.topLeft() != layout::zoomMittel.topLeft()
                && before.zoom.topLeft() - before.monitor.topLeft() == layout::zoomOffset;
        },
        3000));

    m_desktop->key(QStringLiteral("F11"));
    ASSERT_TRUE(waitUntil(
        [&] {
            const QList<XWindow> shown = m_desktop->visibleWindows(m_player->pid());
            return shown.size() == 1 && shown.first().geometry == QRect(0, 0, 1280, 1024);
        },
        5000))
        << "no single window over the whole screen";

    m_desktop->key(QStringLiteral("Escape"));
    const Windows after = waitForWindows(before.monitor, before.zoom);
    EXPECT_EQ(after.monitor, before.monitor);
    EXPECT_EQ(after.zoom, before.zoom);
}
