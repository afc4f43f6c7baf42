// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QImage;
class QRect;

// Copies `from` of `source` into `to` of `target`, stretched by repeating pixels: target pixel
// (x, y) takes the source pixel under its centre, so a 2x copy doubles every pixel and a copy at
// the same size is exact. No smoothing, no blending. Source pixels outside `source` repeat its
// edge; target pixels outside `target` are skipped. Both pictures are 32 bits per pixel.
void stretchCopy(const QImage &source, const QRect &from, QImage &target, const QRect &to);
