// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The timer-driven stepping of the zoom and its still pictures (GUI thread only).
void GoToStart();     // start card, both timers off, transport looks "at start"
void GoToEnd();       // end card, both timers off, transport looks "at end"
void zoomInTick();    // one tick of zgZoomIn
void zoomOutTick();   // one tick of zgZoomOut
// The engine's half of the forward and backward buttons: stop both timers, reload bitmap A with
// currentFrame and B with the neighbour, render, then start the timer of that direction with
// the interval 1000 / frameRate. Does nothing where the neighbour would lie outside keyframes
// 1..63 (forward on the end card).
void startZoomDirection(bool zoomIn);
// Whether a direction can start from currentFrame: its neighbour keyframe lies within 1..63.
bool canStartZoomDirection(bool zoomIn);
// The zgReserve timer's work: loads keyframe pendingFrame into the inactive bitmap on the GUI
// thread unless it is there already, taking over a request the loader has not begun, and sets
// nextReady. Never overlaps a background load.
void reserveLoad();
