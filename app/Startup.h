#pragma once

// The unit start steps, run once before the application object exists.
void runUnitStartSteps();

// Builds the monitor window (the main window) and then the zoom window, shows them and runs the
// message loop. A failure while a window is built shows one error report and ends with 0.
int runPlayer(int &argc, char **argv);
