// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tiefenflug --export FILE: writes the video without a display, the progress on standard error.
// Returns 0 when the video is written, 1 on an error (message on standard error) and 130 when
// Ctrl+C stopped it; in both latter cases no file is left behind.
int runExport(int &argc, char **argv);
