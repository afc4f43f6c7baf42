// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QImage;
class QString;
class QTimer;

// What the zoom engine needs from the two windows: the zoom window's display surfaces and
// timers, the monitor window's read-out and transport buttons. The zoom window implements it;
// engine tests use a window-less stand-in.
class ZoomHost
{
public:
    virtual ~ZoomHost() = default;

    virtual QImage &surfaceCanvas(int index) = 0;   // 800 x 600 canvas of display surface 0 or 1
    virtual void sendSurfaceToBack(int index) = 0;
    virtual void bringSurfaceToFront(int index) = 0;
    virtual void repaintSurface(int index) = 0;   // synchronous: on screen when it returns
    // The sharp view's canvas of surface 0 or 1: the picture at the screen's device resolution.
    virtual QImage &sharpCanvas(int index) = 0;
    // Composes the sharp view of surface `index` with `compose` (which draws the whole of the
    // picture it is given, in device pixels) and shows it, synchronously. By default into
    // sharpCanvas(index), then repaintSurface(index); a window may compose straight into what
    // goes to the screen.
    virtual void showSharpSurface(int index, const std::function<void(QImage &)> &compose);
    // Keyframe pixels across the sharp view at scale 1: the view width, or 800 in full screen.
    virtual double sharpRegionWidth() const;

    virtual void showZoomFactor(const QString &digits, const QString &words) = 0;   // bfFaktor2/3
    virtual void setStillPictureLooks(bool atEnd) = 0;   // transport looks after GoToStart/GoToEnd

    virtual QTimer &zoomInTimer() = 0;    // zgZoomIn
    virtual QTimer &zoomOutTimer() = 0;   // zgZoomOut
    virtual void startZoomingIn() = 0;    // the monitor's bsVorwaertsClick
    virtual void startZoomingOut() = 0;   // the monitor's bsRueckwaertsClick
};

extern ZoomHost *zoomHost;
