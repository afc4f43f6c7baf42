// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Spoils one keyframe of the embedded set on demand: installs, once, a keyframe source that
// hands out the embedded bytes, except for the chosen keyframe, which gets bytes that are no
// JPEG at all. Choosing another keyframe (or none) is safe while the loader thread runs.
namespace KeyframeSpoiler {
void install();
void spoil(int number);       // 0: every keyframe is good again
int spoiledLoadsOnLoader();   // how often the loader thread was handed the spoiled data
int spoiledLoadsOnGui();      // how often the GUI thread was
}   // namespace KeyframeSpoiler
