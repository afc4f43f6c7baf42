// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's two windows, built once per test program as the program builds them, and the
// means to drive them through real clicks and to read what they show.
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

class QWidget;
class PictureControl;

// Builds both windows on first use; true when this call built them (the launch state is fresh).
bool ensurePlayerWindows();

// A left click at the centre of `control`, delivered to the monitor window's native window so
// that the control on top at that point receives it, as with a real mouse.
void clickOn(QWidget *control);
// The monitor window's control at the centre of `control` (the one a click there reaches).
QWidget *controlHitAt(QWidget *control);

// Looks of the five transport pairs, to the start, backward, pause, forward, to the end:
// 'N' normal (button enabled, disabled image hidden), 'D' disabled (button disabled, image
// shown), 'L' looks disabled but the button itself is enabled (the launch state of to-end).
std::string pairLooks();

// What the zoom window shows right now (its visible area as a picture).
QImage shownView();
// Keyframe `number` as shown at scale 1 in the current view size (its centre, unscaled).
QImage keyframeView(int number);

// The whole visible playback state: looks, timers, keyframe, scale and read-out.
struct PlaybackSnapshot
{
    std::string looks;
    bool zoomingIn = false;
    bool zoomingOut = false;
    int frame = 0;
    double scale = 0;
    QString digits, words;
    bool operator==(const PlaybackSnapshot &) const = default;
};
PlaybackSnapshot playbackSnapshot();
void PrintTo(const PlaybackSnapshot &snapshot, std::ostream *out);

// Each test starts from the still picture at the start with the start values of the settings
// it may change: repeat "OFF", 30 frames per second, zoom speed 1.04, no panel shown.
class MonitorTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Waits (running the event loop) until the zoom reaches keyframe `frame` or the timeout.
    static bool waitForFrame(int frame, int timeoutMs = 10000);
};
