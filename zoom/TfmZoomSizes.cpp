// SPDX-License-Identifier: GPL-3.0-or-later
// The three display sizes "klein", "mittel" and "groß": view and window sizes, the places of
// the zoom window's panels, and the casing's layout.
#include "FrameRenderer.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QAction>
#include <QGroupBox>

struct TfmZoom::DisplaySize
{
    QAction *TfmZoom::*itemMenue;     // the size's item in pmMenue's "Anzeige"
    QAction *TfmZoom::*itemAnzeige;   // and in pmAnzeige
    int viewWidth, viewHeight;        // viewWidth is also the casing picture's id
    bool placeAtScreenCorner;         // "klein" keeps both windows where they are
    QPoint panels;                    // gbSpeed and gbInfo
};

void TfmZoom::klein1Click()
{
    static const DisplaySize klein = {&TfmZoom::klein1, &TfmZoom::klein2, 440, 330, false, {0, -7}};
    applyDisplaySize(klein);
}

void TfmZoom::mittel1Click()
{
    static const DisplaySize mittel = {&TfmZoom::mittel1, &TfmZoom::mittel2, 640, 480, true, {100, 68}};
    applyDisplaySize(mittel);
}

void TfmZoom::gross1Click()
{
    static const DisplaySize gross = {&TfmZoom::gross1, &TfmZoom::gross2, 800, 600, true, {180, 128}};
    applyDisplaySize(gross);
}

// Re-lays out both windows and draws the current picture anew; the zoom itself (timers,
// keyframes, scale) is left alone. Choosing a size in full screen goes back to the window.
void TfmZoom::applyDisplaySize(const DisplaySize &size)
{
    if (m_fullScreen)
        setFullScreenView(false);
    (this->*size.itemMenue)->setChecked(true);
    (this->*size.itemAnzeige)->setChecked(true);

    ZoomState.viewWidth = size.viewWidth;
    ZoomState.viewHeight = size.viewHeight;

    fmMonitor->showDisplaySize(ZoomState.viewWidth);
    setFixedSize(ZoomState.viewWidth, ZoomState.viewHeight);
    ZoomState.viewRatio = double(ZoomState.viewWidth) / ZoomState.frameWidth;

    if (size.placeAtScreenCorner) {
        fmMonitor->move(0, 0);
        move(monitorOffsetX, monitorOffsetY);
    }

    m_panelPlace = size.panels;
    layOutView();   // the black background, the panels, the surfaces; then RenderFrame
}
