// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class QImage;
struct KeyframeLayer;

// composeSharpView as it was drawn with QPainter, layer by layer with feather rings: the yardstick
// for the one-pass compositor in tests and benchmarks.
void composeSharpViewWithPainter(QImage &target, const KeyframeLayer *const layers[3], double scale,
                                 double regionWidth);
