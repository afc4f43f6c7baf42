// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// A rectangle of the keyframe or a display surface; right and bottom are exclusive.
struct FrameRect
{
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

extern FrameRect sourceRect;   // the part of the keyframe the last render copied
extern FrameRect targetRect;   // the part of the display surface it wrote

// Draws the centre of the active keyframe magnified by ZoomState.scale into the other display
// surface, repaints it at once and writes the zoom factor read-out (GUI thread only).
void RenderFrame();

// The read-out texts for a total zoom factor: digits with a decimal comma ("1,000", "12,33",
// "2305843009213693952") and the words text ("(2,3 Trillionen)" or empty up to 1 000 000).
QString zoomFactorDigits(long double totalZoom);
QString zoomFactorWords(long double totalZoom);
