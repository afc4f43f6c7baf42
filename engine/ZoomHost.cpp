#include "ZoomHost.h"
#include "ZoomState.h"

ZoomHost *zoomHost = nullptr;

double ZoomHost::sharpRegionWidth() const
{
    return ZoomState.viewWidth;
}
