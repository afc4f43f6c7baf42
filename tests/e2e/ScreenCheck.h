// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QPoint>
#include <QString>

// Pixel comparisons of screenshots with each other and with the keyframes as the player decodes
// them (TurboJPEG straight into RGB32).
struct PixelDiff
{
    qint64 count = 0;   // differing pixels; -1 when the sizes differ
    QPoint first;       // the first differing pixel in reading order
    QRgb expected = 0, actual = 0;
    bool same() const { return count == 0; }
    QString describe() const;
};

PixelDiff comparePixels(const QImage &actual, const QImage &expected);

// Keyframe `number` (1..63) decoded from the data embedded in the player, the way it does it.
QImage keyframePicture(int number);
// The central `size` part of keyframe `number`: what the zoom window shows at scale 1.
QImage keyframeCentre(int number, QSize size);

// The leftmost column within `region` of `image` that holds a pixel of the read-out's green text
// (where right-aligned text begins: the longer the number, the further left), or -1.
int leftmostGreenColumn(const QImage &image, const QRect &region);
