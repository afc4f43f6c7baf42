// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QColor>

// A small JPEG made in the test itself: a picture of the given size filled with `colour`.
QByteArray makeJpeg(int width, int height, QColor colour);
