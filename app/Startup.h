// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"
#include "HdKeyframeSet.h"

class Application;

// The unit start steps, run once before the application object exists.
void runUnitStartSteps();

// Builds and shows the monitor window first (it becomes the main window, fmMonitor), then builds
// the zoom window (fmZoom: start card shown, placed at +32/+24) and shows it above the casing.
// Raises what a constructor raises.
void createPlayerWindows();

// The presentation, full screen, repeat mode and frame rate the command line asks for, on the
// windows just built.
void applyPlayerOptions(const PlayerOptions &options);

// Registers the HD keyframe file for this run from the first place it lies: beside the executable
// in `executableDir` (the build tree), then in ../share/tiefenflug from there (an installation).
// Without one the player runs on the embedded keyframes alone, without a word.
HdKeyframeSet registerHdKeyframes(const QString &executableDir);

// Builds the monitor window (the main window) and then the zoom window, shows them and runs the
// message loop. A failure while a window is built shows one error report and ends with 0.
int runPlayer(int &argc, char **argv);

// runPlayer's work once the application object exists: builds and shows both windows, applies the
// command line's options and runs the message loop; a failure while a window is built shows one
// error report. Returns 0.
int showPlayer(Application &app, const PlayerOptions &options = {});

// The screensaver the command line asks for: the zoom in its window at the speed the panel starts
// with (or the frame rate chosen), until the window goes or the process is asked to end. Needs
// the application object (no windows of its own); returns the exit status.
int runScreensaver(const PlayerOptions &options);
