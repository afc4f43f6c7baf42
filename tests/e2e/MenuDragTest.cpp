// SPDX-License-Identifier: GPL-3.0-or-later
// The context menu on both windows, the display size "groß" chosen through it, and dragging
// both borderless windows by the zoom picture.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

#include <QProcess>

namespace {
class Menus : public PlayerFixture
{
protected:
    // Right-clicks at `at` and returns the menu window that opens there.
    XWindow openContextMenu(QPoint at)
    {
        const Windows before = windows();
        m_desktop->rightClick(at);
        XWindow menu;
        waitUntil(
            [&] {
                for (const XWindow &w : m_desktop->visibleWindows(m_player->pid()))
                    if (w.geometry != before.monitor && w.geometry != before.zoom)
                        menu = w;
                return menu.id != 0;
            },
            3000);
        EXPECT_NE(menu.id, 0u) << "no menu opened at " << ::testing::PrintToString(at);
        return menu;
    }
};
using Dragging = Menus;

constexpr QPoint onZoomPicture{300, 200};
}   // namespace

TEST_F(Menus, RightClickOnEitherWindowOpensTheContextMenuAtThePointer)
{
    const QPoint onCasing = layout::centre(layout::bsZumAnfang) + QPoint(0, 40);   // below the buttons
    for (const QPoint at : {onZoomPicture, onCasing}) {
        const XWindow menu = openContextMenu(at);
        ASSERT_NE(menu.id, 0u);
        EXPECT_EQ(menu.geometry.topLeft(), at);
        const QImage shot = screen(QStringLiteral("menu"));
        EXPECT_FALSE(comparePixels(shot.copy(menu.geometry), m_startScreen.copy(menu.geometry)).same())
            << "the menu is not drawn";
        m_desktop->key(QStringLiteral("Escape"));
        EXPECT_TRUE(waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 2; }, 3000))
            << "the menu did not close";
        const PixelDiff closed = comparePixels(screen(QStringLiteral("menu-closed")), m_startScreen);
        EXPECT_TRUE(closed.same()) << closed.describe();
    }
}

TEST_F(Menus, GrossThroughTheContextMenuEnlargesAndPlacesBothWindows)
{
    // Move the windows away first: "groß" puts them back at the screen's top-left corner.
    m_desktop->drag(onZoomPicture, onZoomPicture + QPoint(100, 60));
    waitForWindows(layout::monitorMittel.translated(100, 60), layout::zoomMittel.translated(100, 60));

    ASSERT_NE(openContextMenu(onZoomPicture + QPoint(100, 60)).id, 0u);
    // Anzeige > groß: the first item opens the sizes, the third of them is "groß".
    for (const char *key : {"Down", "Right", "Down", "Down", "Return"}) {
        m_desktop->key(QString::fromLatin1(key));
        pause(60);
    }
    const Windows w = waitForWindows(layout::monitorGross, layout::zoomGross);
    EXPECT_EQ(w.monitor, layout::monitorGross);
    EXPECT_EQ(w.zoom, layout::zoomGross);

    // At scale 1 the 800 x 600 view shows the whole start card, pixel for pixel.
    const QImage startCard = keyframePicture(1);
    const QImage shot = waitForScreen(
        QStringLiteral("gross"),
        [&](const QImage &s) { return comparePixels(s.copy(layout::zoomGross), startCard).same(); }, 3000);
    const PixelDiff card = comparePixels(shot.copy(layout::zoomGross), startCard);
    EXPECT_TRUE(card.same()) << card.describe();
    EXPECT_EQ(shot.pixel(layout::monitorGross.bottomRight()), XvfbServer::rootColour)
        << "corner of the large casing";
}

TEST_F(Dragging, TheZoomPictureMovesBothWindowsTogether)
{
    const QPoint by(150, 130);
    m_desktop->drag(onZoomPicture, onZoomPicture + by);
    const Windows w = waitForWindows(layout::monitorMittel.translated(by), layout::zoomMittel.translated(by));
    EXPECT_EQ(w.zoom.topLeft() - w.monitor.topLeft(), layout::zoomOffset);

    // The picture travels with them and the old place shows the desktop again.
    const QImage shot = waitForScreen(
        QStringLiteral("dragged"),
        [&](const QImage &s) {
            return comparePixels(s.copy(layout::zoomMittel.translated(by)),
                                 m_startScreen.copy(layout::zoomMittel))
                .same();
        },
        3000);
    const PixelDiff moved = comparePixels(shot.copy(layout::monitorMittel.translated(by)),
                                          m_startScreen.copy(layout::monitorMittel));
    EXPECT_TRUE(moved.same()) << moved.describe();
    EXPECT_EQ(shot.pixel(10, 10), XvfbServer::rootColour);

    // A second drag moves them on from there.
    m_desktop->drag(onZoomPicture + by, onZoomPicture + by - QPoint(50, 100));
    waitForWindows(layout::monitorMittel.translated(by - QPoint(50, 100)),
                   layout::zoomMittel.translated(by - QPoint(50, 100)));
}

// A desktop may name the window manager's abilities without moving windows on request (or a
// window manager that did so has gone): the player then moves both windows itself.
TEST_F(Dragging, WithoutMovesOnRequestThePlayerMovesBothWindowsItself)
{
    QProcess xprop;
    xprop.setProcessEnvironment(m_server->clientEnvironment());
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("-f"), QStringLiteral("_NET_SUPPORTED"),
                 QStringLiteral("32a"), QStringLiteral("-set"), QStringLiteral("_NET_SUPPORTED"),
                 QStringLiteral("_NET_WM_NAME")});
    ASSERT_TRUE(xprop.waitForFinished(5000) && xprop.exitCode() == 0)
        << "xprop could not set the root property";
    const QPoint by(150, 130);
    m_desktop->drag(onZoomPicture, onZoomPicture + by);
    const Windows w = waitForWindows(layout::monitorMittel.translated(by), layout::zoomMittel.translated(by));
    EXPECT_EQ(w.zoom.topLeft() - w.monitor.topLeft(), layout::zoomOffset);
}
