// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's two windows, built once per test program as the program builds them, and real
// mouse and menu input for the zoom window's tests.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <gtest/gtest.h>
#include <ostream>

class QAction;
class QMenu;
class QWidget;

inline void PrintTo(const QRect &r, std::ostream *out)
{
    *out << r.width() << 'x' << r.height() << '+' << r.x() << '+' << r.y();
}
inline void PrintTo(const QPoint &p, std::ostream *out)
{
    *out << '(' << p.x() << ", " << p.y() << ')';
}

// Each test starts at the still picture at the start in the size "mittel", both windows at
// their start places, no panel or menu open, with the start values of every setting.
class ZoomTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // A left click at the centre of a control of the monitor window, through its native window
    // so that whatever lies on top there receives it.
    static void clickOnMonitor(QWidget *control);
    // A left click at the centre of a widget of the zoom window.
    static void clickOn(QWidget *widget);
    // Opens `menu` at the given screen position and clicks `item`; for an item of a submenu of
    // `menu`, `submenu` is opened first by clicking its entry.
    static void chooseFromMenu(QMenu *menu, QAction *item, QMenu *submenu = nullptr);
    // The size item of "Anzeige" in the context menu, or of the size menu.
    static void chooseSizeFromContextMenu(QAction *item);
    static void chooseSizeFromSizeMenu(QAction *item);

    // The zoom window's visible view as a picture.
    static QImage shownView();
    // The centre of the keyframe on display, unscaled, in the current view size.
    static QImage activeKeyframeCentre();

    // Left-button drag on the zoom window from `from` (window coordinates) by `delta`, in steps.
    static void dragZoomWindow(QPoint from, QPoint delta, int steps = 5);
    static bool isRunning();   // the pause button is enabled
};
