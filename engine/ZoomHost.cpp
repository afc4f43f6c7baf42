#include "ZoomHost.h"

ZoomHost *zoomHost = nullptr;
