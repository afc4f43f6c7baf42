#pragma once
#include "VideoExport.h"

#include <QStringList>

// What the command line chooses: the sharp presentation and full screen from the start, or a
// video export instead of the player.
struct PlayerOptions
{
    bool sharp = false;
    bool fullScreen = false;
    bool exportVideo = false;
    ExportSettings exportSettings;
};

// The program's name and version, for the command line's --version and the window titles; static,
// so it works before any application object exists.
void identifyApplication();

// Whether the arguments ask for a video export (which needs no display).
bool asksForExport(int argc, char **argv);

// Reads --sharp, --fullscreen and the export's options from the program's arguments; --help and --version print their
// text and end the program with status 0, an unknown option or an argument prints the error and
// ends it with status 1. Needs the application object.
PlayerOptions parseCommandLine(const QStringList &arguments);
