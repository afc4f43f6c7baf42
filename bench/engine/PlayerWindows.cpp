// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerWindows.h"
#include "Startup.h"
#include "TfmZoom.h"
#include "ToolkitError.h"

#include <QCoreApplication>
#include <cstdio>

bool ensurePlayerWindows()
{
    static bool built = false;
    if (!built) {
        try {
            createPlayerWindows();
            QCoreApplication::processEvents();
            built = true;
        } catch (const ToolkitError &error) {
            std::printf("player windows not built: %s\n", qPrintable(error.message()));
        }
    }
    return built;
}

void useZoomWindowAsHost()
{
    if (fmZoom)
        zoomHost = fmZoom;
}
