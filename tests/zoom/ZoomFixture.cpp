// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomFixture.h"
#include "PictureControl.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

void ensurePlayerWindows()
{
    if (fmMonitor)
        return;
    runUnitStartSteps();
    createPlayerWindows();
}

void closePopups()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

}   // namespace

void ZoomTest::SetUp()
{
    ensurePlayerWindows();
    closePopups();
    for (QWidget *window : {static_cast<QWidget *>(fmMonitor), static_cast<QWidget *>(fmZoom)})
        if (window->isMinimized())
            window->showNormal();
    fmZoom->Aus1Click();
    fmZoom->setFullScreenView(false);
    fmZoom->Original1Click();
    ZoomState.frameRate = 30;
    ZoomState.stepFactor = 1.04;
    ZoomState.speedPosition = 50;
    ZoomState.frameRateIndex = 11;
    fmZoom->mittel1Click();
    fmMonitor->bsZumAnfangClick();   // hides the panels, GoToStart
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fmZoom));
}

void ZoomTest::TearDown()
{
    fmZoom->zgZoomIn->stop();
    fmZoom->zgZoomOut->stop();
    fmZoom->setUrlOpener({});
    closePopups();
}

void ZoomTest::clickOnMonitor(QWidget *control)
{
    QTest::mouseClick(fmMonitor->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      control->mapTo(fmMonitor, control->rect().center()));
}

void ZoomTest::clickOn(QWidget *widget)
{
    QTest::mouseClick(fmZoom->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget->mapTo(fmZoom, widget->rect().center()));
}

void ZoomTest::chooseFromMenu(QMenu *menu, QAction *item, QMenu *submenu)
{
    menu->popup(fmZoom->mapToGlobal(QPoint(60, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QMenu *itemMenu = menu;
    if (submenu) {
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(submenu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([submenu] { return submenu->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(submenu));
        itemMenu = submenu;
    }
    const QRect place = itemMenu->actionGeometry(item);
    ASSERT_TRUE(place.isValid()) << "not an item of this menu";
    QTest::mouseClick(itemMenu, Qt::LeftButton, Qt::NoModifier, place.center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return !menu->isVisible(); }));
}

void ZoomTest::chooseSizeFromContextMenu(QAction *item)
{
    chooseFromMenu(fmZoom->pmMenue, item, fmZoom->Anzeige1);
}

void ZoomTest::chooseSizeFromSizeMenu(QAction *item)
{
    chooseFromMenu(fmZoom->pmAnzeige, item);
}

QImage ZoomTest::shownView()
{
    return fmZoom->grab(QRect(0, 0, ZoomState.viewWidth, ZoomState.viewHeight))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage ZoomTest::activeKeyframeCentre()
{
    const QImage &keyframe = keyframeBitmap(ZoomState.activeBitmap.load());
    const int width = ZoomState.viewWidth, height = ZoomState.viewHeight;
    return keyframe.copy((keyframe.width() - width) / 2, (keyframe.height() - height) / 2, width, height)
        .convertToFormat(QImage::Format_RGB32);
}

void ZoomTest::dragZoomWindow(QPoint from, QPoint delta, int steps)
{
    // Through the native window, so the widget under the pointer gets the press first. Local
    // positions are taken against the window's place at the time of each event: the pointer
    // moves by `delta` on the screen while the window may move under it.
    QWindow *window = fmZoom->windowHandle();
    const QPoint start = fmZoom->mapToGlobal(from);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(window, fmZoom->mapFromGlobal(start + delta * i / steps));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, fmZoom->mapFromGlobal(start + delta));
}

bool ZoomTest::isRunning()
{
    return fmMonitor->bsPause->isEnabled();
}
