// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "VideoExport.h"

#include <QStringList>
#include <cstdint>

// What the command line chooses: the sharp presentation and full screen from the start, the
// starting values of the repeat menu and of the speed panel's frame rate, the screensaver, or a
// video export instead of the player.
struct PlayerOptions
{
    bool sharp = false;
    bool fullScreen = false;
    QString repeatMode;         // "OFF", "ON" or "BIDI"; empty keeps the player's own
    int frameRateIndex = -1;    // an item of the speed panel's frame-rate list; -1 keeps the player's own
    bool screensaver = false;   // draw into `window` instead of opening the player's windows
    std::uint32_t window = 0;   // the screensaver's window; 0 is the root window
    bool exportVideo = false;
    ExportSettings exportSettings;
};

// The program's name and version, for the command line's --version and the window titles; static,
// so it works before any application object exists.
void identifyApplication();

// Whether the program runs as a screensaver: --root or --window-id among `argv`, or xscreensaver's
// XSCREENSAVER_WINDOW set. Read before any application object exists, which the screensaver
// needs none of the player's for.
bool screensaverRequested(int argc, char **argv);

// Whether the arguments ask for a video export (which needs no display).
bool asksForExport(int argc, char **argv);

// Reads the options from the program's arguments (and xscreensaver's XSCREENSAVER_WINDOW);
// --help and --version print their text and end the program with status 0, an unknown option,
// an argument or a bad value prints the error and ends it with status 1. Needs the application
// object.
PlayerOptions parseCommandLine(const QStringList &arguments);
