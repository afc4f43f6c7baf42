// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreensaverFrames.h"
#include "SharpFrame.h"
#include "ToolkitError.h"

#include <QImage>
#include <algorithm>

ScreensaverFrames::ScreensaverFrames() : m_decoder([this](std::stop_token stop) { decodeAhead(stop); }) { }

double ScreensaverFrames::fillRegionWidth(QSize target, QSize frame)
{
    if (target.isEmpty() || frame.isEmpty())
        return frame.width();
    const double targetAspect = double(target.width()) / target.height();
    const double frameAspect = double(frame.width()) / frame.height();
    return frame.width() * std::min(1.0, targetAspect / frameAspect);
}

bool ScreensaverFrames::compose(QImage &target, const ZoomMoment &moment)
{
    m_layers.keepAround(moment.frame);
    {
        // Taken once so that the decoder is either before its check or already waiting.
        std::lock_guard lock(m_mutex);
    }
    m_wanted.notify_one();

    // The moment's keyframe and the two deeper ones, as far as the run goes.
    KeyframeLayer layers[3];
    for (int depth = 0; depth < 3; ++depth) {
        const int number = moment.frame + depth;
        if (number > ZoomTimeline::lastFrame)
            break;
        layers[depth] = m_layers.layer(number);
        if (layers[depth].isNull())
            return false;
    }
    const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};
    const QSize frame = layers[0].full.size();
    composeSharpView(target, pointers, moment.scale, fillRegionWidth(target.size(), frame));
    return true;
}

QString ScreensaverFrames::failure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

void ScreensaverFrames::decodeAhead(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        const int number = m_layers.nextMissing();
        if (number == 0) {
            std::unique_lock lock(m_mutex);
            m_wanted.wait(lock, stop, [&] { return m_layers.nextMissing() != 0; });
            continue;
        }
        try {
            m_layers.store(decodeLayer(number));
        } catch (const ToolkitError &error) {
            std::lock_guard lock(m_mutex);
            m_failure = error.message();
            return;
        }
    }
}
