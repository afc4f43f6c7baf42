#pragma once
class QCoreApplication;

// What the command line chooses: the sharp presentation and full screen from the start.
struct PlayerOptions
{
    bool sharp = false;
    bool fullScreen = false;
};

// Reads --sharp and --fullscreen; --help and --version print their text and end the program
// with status 0, an unknown option prints the error and the usage and ends it with status 1.
PlayerOptions parseCommandLine(const QCoreApplication &app);
