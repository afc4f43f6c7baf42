// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real monitor and zoom windows for the benchmarks, built once on first use (offscreen or on
// the display the platform gives). Returns false when they cannot be built.
bool ensurePlayerWindows();
// Makes the zoom window the engine's host again after a stand-in was used.
void useZoomWindowAsHost();
