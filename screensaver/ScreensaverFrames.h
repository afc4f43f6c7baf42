// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "SharpLayers.h"
#include "ZoomTimeline.h"

#include <QSize>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

class QImage;

// The screensaver's pictures: the sharp view of any moment of the zoom, filling a target of any
// shape. The keyframes a moment needs, and those around it, are decoded by a thread of its own,
// so that composing never waits for a decoder.
class ScreensaverFrames
{
public:
    ScreensaverFrames();
    ScreensaverFrames(const ScreensaverFrames &) = delete;
    ScreensaverFrames &operator=(const ScreensaverFrames &) = delete;

    // Composes `moment` into the whole of `target`; false (target untouched) while a keyframe it
    // needs is still being decoded. Asks for the keyframes around `moment` either way.
    bool compose(QImage &target, const ZoomMoment &moment);

    // The message of a keyframe that could not be decoded, empty while all went well.
    QString failure() const;

    // Keyframe pixels across a target of `target`'s shape at scale 1, so that the 4:3 keyframe of
    // `frame`'s size covers it all: cut at the top and bottom of a wider target, at the sides of
    // a narrower one.
    static double fillRegionWidth(QSize target, QSize frame);

private:
    void decodeAhead(std::stop_token stop);

    SharpLayers m_layers;
    mutable std::mutex m_mutex;   // guards m_failure and the wake-up
    std::condition_variable_any m_wanted;
    QString m_failure;
    // Last: stopped (its wait ends at the stop request) and joined before the members it uses go.
    std::jthread m_decoder;
};
