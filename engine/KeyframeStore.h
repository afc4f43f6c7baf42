// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <functional>

class QImage;

// Fills keyframe bitmap 'A' (letter 'A') or 'B' (any other letter) with keyframe `number`
// (1..63) decoded from the embedded JPEG data. Runs on the GUI thread and on the loader thread;
// each call uses its own decoder. On failure the bitmap keeps its previous picture and
// ToolkitError reaches the caller.
void LoadKeyframe(char letter, int number);
// Decodes keyframe `number` into `target` (any thread, its own decoder; same failure rules).
void decodeKeyframe(int number, QImage &target);
// The same picture, from the keyframe's baseline copy in the HD data file where that is
// registered (decoded in about a third of the time), else as decodeKeyframe.
void decodeKeyframeQuickly(int number, QImage &target);

// Where keyframe bytes come from: the embedded resources, or a test's own data.
// The returned bytes must stay valid and unchanged for the whole run.
using KeyframeSource = std::function<QByteArray(int number)>;
void setKeyframeSource(KeyframeSource source);   // an empty function restores the embedded data
QByteArray keyframeBytes(int number);            // raises ToolkitError for a missing keyframe
