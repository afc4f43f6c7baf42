// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ends the process at once with exit status 0: the registered exit steps run (the units' end
// steps), static destructors do not, so a keyframe decode still running on the loader thread
// can never touch destroyed objects. Nothing is asked and no window is closed first.
[[noreturn]] void exitProgram();

// Registers a step that exitProgram runs before the process ends.
void registerExitStep(void (*step)());
