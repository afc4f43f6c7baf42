// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class QPoint;
class QWidget;

// What the casing's function buttons open on the zoom window: its panels, its menus and the web
// page. The zoom window implements it; the monitor window knows nothing else of it.
class ZoomPanels
{
public:
    virtual ~ZoomPanels() = default;
    virtual QWidget *zoomWindow() = 0;     // shown with the casing
    virtual void raiseAboveCasing() = 0;   // and kept above it
    virtual void openSpeedPanel() = 0;
    virtual void openInfoPanel() = 0;
    virtual void openWebPage() = 0;
    virtual void popUpContextMenu(const QPoint &globalPos) = 0;   // pmMenue
    virtual void popUpSizeMenu(const QPoint &globalPos) = 0;      // pmAnzeige
    virtual void popUpRepeatMenu(const QPoint &globalPos) = 0;    // pmRepead
};
