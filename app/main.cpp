// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"
#include "ExportCommand.h"
#include "QtTranslation.h"
#include "Startup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>
#include <cstdio>

int main(int argc, char **argv)
{
    if (asksForExport(argc, argv))
        return runExport(argc, argv);
    // The screensaver draws into another program's window through its own X connection and
    // builds none of the player's windows.
    if (screensaverRequested(argc, argv)) {
        QCoreApplication screensaver(argc, argv);
        identifyApplication();
        return runScreensaver(parseCommandLine(screensaver.arguments()));
    }
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!x11 && !wayland) {
            // --help, --version and a mistyped option answer without a screen, too.
            QCoreApplication console(argc, argv);
            identifyApplication();
            installQtGerman(console);   // Qt's lines of the help and its errors, too
            parseCommandLine(console.arguments());
            std::fputs(
                "Tiefenflug braucht eine Desktop-Sitzung (X11 oder Wayland); ohne Bildschirm "
                "lässt er sich mit \"xvfb-run -s '-screen 0 1280x1024x24' tiefenflug\" ausprobieren.\n",
                stderr);
            return 1;
        }
        // The two windows must be placed side by side, which Wayland leaves to the compositor:
        // run through XWayland when it is there.
        if (wayland && x11)
            qputenv("QT_QPA_PLATFORM", "xcb");
    }
    runUnitStartSteps();
    return runPlayer(argc, argv);
}
