// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomState.h"
#include "ProgramExit.h"

ZoomStateRecord ZoomState;
int currentFrame = 0;
std::atomic<int> pendingFrame{0};

namespace {
std::atomic<int> keyframeNumbers[2] = {0, 0};   // held by bitmap A and bitmap B
}

void zoomUnitStart()
{
    ZoomState.bitmapA = QImage();
    ZoomState.bitmapB = QImage();
    ZoomState.viewRatio = double(ZoomState.viewWidth) / ZoomState.frameWidth;
    ZoomState.repeatMode = QStringLiteral("OFF");
    static const bool endStepRegistered = (registerExitStep(zoomUnitEnd), true);
    (void)endStepRegistered;
}

void zoomUnitEnd()
{
    ZoomState.repeatMode.clear();
}

QImage &keyframeBitmap(char letter)
{
    return letter == 'A' ? ZoomState.bitmapA : ZoomState.bitmapB;
}

char inactiveLetter()
{
    return ZoomState.activeBitmap.load() == 'A' ? 'B' : 'A';
}

int bitmapKeyframeNumber(char letter)
{
    return keyframeNumbers[letter == 'A' ? 0 : 1].load();
}

void setBitmapKeyframeNumber(char letter, int number)
{
    keyframeNumbers[letter == 'A' ? 0 : 1].store(number);
}
