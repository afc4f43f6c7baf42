// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "VideoEncoder.h"
#include "ZoomTimeline.h"

#include <QSize>
#include <QString>

#include <atomic>
#include <functional>

// Everything an export needs: plain data, filled in by the command line or the player's dialog.
struct ExportSettings
{
    QString fileName;
    QSize size{1920, 1080};
    bool fill = false;   // crop the picture to the frame instead of black bars
    int framesPerSecond = 60;
    bool zoomOut = false;
    double stepFactor = ZoomTimeline::defaultStepFactor;
    double ticksPerSecond = ZoomTimeline::defaultTicksPerSecond;
    double startCardSeconds = 2.0;
    double endCardSeconds = 3.0;
    VideoQuality quality = VideoQuality::Medium;
    bool overwrite = false;
};

struct ExportProgress
{
    int framesDone = 0;
    int frameCount = 0;
    double elapsedSeconds = 0;
    double videoSeconds = 0;   // the length of the whole video
};

// The limits the settings must keep.
namespace exportLimits {
constexpr int minSide = 64;
constexpr int maxWidth = 7680;
constexpr int maxHeight = 4320;
constexpr int maxFramesPerSecond = 240;
constexpr double maxHoldSeconds = 600;
}

// Raises ToolkitError, with the user's words, for settings that cannot give a video: an unknown
// extension, a bad size, frame rate or hold time, a folder that does not exist, a file that is
// there already (unless overwrite is set) or a folder.
void checkExportSettings(const ExportSettings &settings);

// Writes the video: to a new hidden file beside the target, renamed to the target's name when
// complete. Returns false when `cancel` was set (checked before each frame); raises ToolkitError
// on failure. Either way nothing is left behind and an existing file is untouched. `progress` is
// called after each frame, on the calling thread.
bool exportVideo(const ExportSettings &settings,
                 const std::function<void(const ExportProgress &)> &progress = {},
                 const std::atomic<bool> *cancel = nullptr);
