// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window-less zoom host for engine tests and benchmarks: two 800 x 600 surfaces in memory, the
// read-out and transport looks as plain values, and two real timers driving the zoom ticks.
#include "ZoomHost.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <functional>

class StandInHost : public ZoomHost
{
public:
    enum class Looks { Launch, AtStart, AtEnd, ZoomingIn, ZoomingOut };

    StandInHost();
    ~StandInHost() override;

    QImage surfaces[2];
    QImage sharpSurfaces[2];   // the sharp view: view size times devicePixelRatio
    double devicePixelRatio = 1.0;
    int frontSurface = 0;   // surface on top of the stacking order
    int repaints = 0;
    int lastRepainted = -1;
    QString digits, words;
    Looks looks = Looks::Launch;
    QTimer zgZoomIn, zgZoomOut;
    // Runs after a direction was started by the engine (the end of a run with "ON" or "BIDI").
    std::function<void(bool zoomIn)> afterStartZooming;

    // The view as it is on screen: the top-left viewWidth x viewHeight of the front surface.
    QImage shownView() const;

    QImage &surfaceCanvas(int index) override;
    void sendSurfaceToBack(int index) override;
    void bringSurfaceToFront(int index) override;
    void repaintSurface(int index) override;
    QImage &sharpCanvas(int index) override;
    void showZoomFactor(const QString &digitsText, const QString &wordsText) override;
    void setStillPictureLooks(bool atEnd) override;
    QTimer &zoomInTimer() override;
    QTimer &zoomOutTimer() override;
    void startZoomingIn() override;
    void startZoomingOut() override;
};
