// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keyframes made by the tests themselves, encoded with TurboJPEG at quality 100 (4:4:4).
#include <QByteArray>
#include <QImage>
#include <QRgb>

QByteArray encodeJpeg(const QImage &picture);   // picture in QImage::Format_RGB32

// Flat keyframes that say which number they are: each number has its own colour.
QRgb keyframeColour(int number);
QByteArray colourKeyframe(int number);        // cached; thread-safe
QByteArray smallColourKeyframe(int number);   // the same at 16 x 12, quick to decode
int keyframeNumberOf(const QImage &bitmap);   // from the centre pixel; 0 for an empty bitmap

// Keyframes of one analytic picture that keep the zoom's twofold property: the central 400 x 300
// pixels of keyframe n, magnified 2 times, are keyframe n + 1. Smooth everywhere but at the zoom
// centre, and different from keyframe to keyframe (a spiral that turns with the depth).
QImage twofoldPicture(int number);
QByteArray twofoldKeyframe(int number);   // cached; thread-safe
