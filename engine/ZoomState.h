// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>
#include <atomic>

// The one global record of the zoom engine. Every subsystem reads and writes its fields
// directly. activeBitmap, nextReady and pendingFrame are shared with the loader thread and
// therefore atomic; the hand-over order between the threads is kept by the stepping code.
struct ZoomStateRecord
{
    QImage bitmapA;         // keyframe bitmap selected by the letter 'A'
    QImage bitmapB;         // keyframe bitmap selected by any other letter
    int frameWidth = 800;   // keyframe and display-surface size
    int frameHeight = 600;
    int viewWidth = 640;      // visible zoom area: 440, 640 or 800
    int viewHeight = 480;     // 330, 480 or 600
    double viewRatio = 0.0;   // viewWidth / frameWidth, set by the unit start step
    int firstFrame = 2;       // first and last keyframe of the zoom run
    int lastFrame = 62;
    int frameRate = 30;                    // timer ticks per second
    double scale = 1.0;                    // magnification of the keyframe on display, 1..2
    double stepFactor = 1.04;              // applied to scale once per tick
    long double totalZoom = 1.0L;          // 2^(currentFrame - firstFrame) * scale
    int frontImage = 0;                    // display surface drawn last
    std::atomic<char> activeBitmap{'A'};   // bitmap holding the keyframe on display
    std::atomic<bool> nextReady{true};     // inactive bitmap holds pendingFrame completely
    QString repeatMode;                    // "OFF", "ON" or "BIDI", set by the unit start step
    int speedPosition = 50;                // zoom-speed position last applied (1..100)
    int frameRateIndex = 11;               // frame-rate list item last applied (11 is "30")
};

extern ZoomStateRecord ZoomState;
extern int currentFrame;                // keyframe on display during playback
extern std::atomic<int> pendingFrame;   // keyframe that belongs in the inactive bitmap

// Start step of the zoom unit: runs once before the application object exists.
void zoomUnitStart();
// End step of the zoom unit: runs with the process's exit steps.
void zoomUnitEnd();

// The bitmap a letter selects: 'A' gives bitmapA, every other letter bitmapB.
QImage &keyframeBitmap(char letter);
// The letter of the bitmap that activeBitmap does not name.
char inactiveLetter();
// The keyframe number a bitmap holds (0 before its first load); written by LoadKeyframe and
// whoever fills a bitmap otherwise.
int bitmapKeyframeNumber(char letter);
void setBitmapKeyframeNumber(char letter, int number);
