// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class QImage;

// Peak signal-to-noise ratio of two pictures of one size over their red, green and blue, in dB
// (99 for equal pictures). With `mask`, only the pixels whose red is not zero there count.
double psnr(const QImage &a, const QImage &b, const QImage *mask = nullptr);
