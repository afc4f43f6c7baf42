// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomHost.h"
#include "ZoomState.h"

#include <QImage>

ZoomHost *zoomHost = nullptr;

double ZoomHost::sharpRegionWidth() const
{
    return ZoomState.viewWidth;
}

void ZoomHost::showSharpSurface(int index, const std::function<void(QImage &)> &compose)
{
    compose(sharpCanvas(index));
    repaintSurface(index);
}
