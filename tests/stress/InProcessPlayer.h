// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's real windows inside the test process (offscreen), built once per process, and
// what a person does to them: clicks on the casing's controls through the monitor window.
class QWidget;

void ensurePlayerWindows();
// A left click at the centre of a control of the monitor window, delivered to the window as
// the platform would (the topmost control there takes it, as on screen).
void clickOnMonitor(QWidget *control);
// From any state to the state at start: pause a running zoom, then to the start if possible.
void returnToStart();
// Opens the speed panel with the speed button, sets the scroll bar and the frame-rate list as a
// person would, and applies them with "Übernehmen".
void applySpeedSettings(int zoomSpeedPosition, int frameRateIndex);
// Resident memory of this process in kB (VmRSS of /proc/self/status).
long residentKilobytes();
