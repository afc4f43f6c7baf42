// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomHost.h"
#include "ZoomState.h"

ZoomHost *zoomHost = nullptr;

double ZoomHost::sharpRegionWidth() const
{
    return ZoomState.viewWidth;
}
