// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharpLayers.h"
#include "KeyframeStore.h"
#include "ZoomState.h"

#include <algorithm>

namespace {
// Each pixel the mean of a 2 x 2 block. By hand rather than QImage::scaled, whose smooth
// reduction may hand work to Qt's thread pool: the loader thread must stay safe to abandon when
// the program ends.
QImage halfSize(const QImage &full)
{
    QImage half(full.width() / 2, full.height() / 2, QImage::Format_RGB32);
    for (int y = 0; y < half.height(); ++y) {
        const auto *upper = reinterpret_cast<const QRgb *>(full.constScanLine(2 * y));
        const auto *lower = reinterpret_cast<const QRgb *>(full.constScanLine(2 * y + 1));
        auto *out = reinterpret_cast<QRgb *>(half.scanLine(y));
        for (int x = 0; x < half.width(); ++x) {
            const QRgb a = upper[2 * x], b = upper[2 * x + 1], c = lower[2 * x], d = lower[2 * x + 1];
            const auto mean = [&](int (*channel)(QRgb)) {
                return (channel(a) + channel(b) + channel(c) + channel(d) + 2) / 4;
            };
            out[x] = qRgb(mean(qRed), mean(qGreen), mean(qBlue));
        }
    }
    return half;
}
}

KeyframeLayer decodeLayer(int number)
{
    KeyframeLayer layer;
    layer.number = number;
    decodeKeyframe(number, layer.full);
    // A quarter serves a picture of twice the keyframe's size where the keyframe is at a half.
    layer.reduced.push_back(halfSize(layer.full));
    layer.reduced.push_back(halfSize(layer.reduced.back()));
    return layer;
}

SharpLayers &sharpLayers()
{
    static SharpLayers instance;
    return instance;
}

void SharpLayers::keepAround(int frame)
{
    const int first = ZoomState.firstFrame;
    const int last = ZoomState.lastFrame;
    std::vector<int> wanted;
    auto want = [&](int number) {
        if (number >= first && number <= last
            && std::find(wanted.begin(), wanted.end(), number) == wanted.end())
            wanted.push_back(number);
    };
    for (int number : {frame, frame + 1, frame + 2, frame + 3, frame - 1})
        want(number);
    // "Ein" restarts at the other end of the run without waiting for a decode.
    if (frame >= last - 1)
        for (int number : {first, first + 1, first + 2})
            want(number);
    if (frame <= first + 1)
        for (int number : {last, last - 1})
            want(number);

    std::lock_guard lock(m_mutex);
    m_wanted = std::move(wanted);
    std::erase_if(m_layers, [this](const KeyframeLayer &layer) {
        return std::find(m_wanted.begin(), m_wanted.end(), layer.number) == m_wanted.end();
    });
}

void SharpLayers::clear()
{
    std::lock_guard lock(m_mutex);
    m_wanted.clear();
    m_layers.clear();
}

KeyframeLayer SharpLayers::layer(int number) const
{
    std::lock_guard lock(m_mutex);
    for (const KeyframeLayer &layer : m_layers)
        if (layer.number == number)
            return layer;
    return {};
}

bool SharpLayers::holds(int number) const
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_layers.begin(), m_layers.end(),
                       [number](const KeyframeLayer &layer) { return layer.number == number; });
}

int SharpLayers::nextMissing() const
{
    std::lock_guard lock(m_mutex);
    for (int number : m_wanted)
        if (std::none_of(m_layers.begin(), m_layers.end(),
                         [number](const KeyframeLayer &layer) { return layer.number == number; }))
            return number;
    return 0;
}

void SharpLayers::store(KeyframeLayer layer)
{
    std::lock_guard lock(m_mutex);
    if (std::find(m_wanted.begin(), m_wanted.end(), layer.number) == m_wanted.end())
        return;
    std::erase_if(m_layers, [&](const KeyframeLayer &held) { return held.number == layer.number; });
    m_layers.push_back(std::move(layer));
}

std::size_t SharpLayers::size() const
{
    std::lock_guard lock(m_mutex);
    return m_layers.size();
}
