// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharpLayers.h"
#include "KeyframeStore.h"
#include "ZoomState.h"

#include <QDebug>

#include <algorithm>
#include <exception>

namespace {
// The layer of keyframe `number` among `layers`, or null.
const KeyframeLayer *find(const std::vector<KeyframeLayer> &layers, int number)
{
    const auto found = std::find_if(layers.begin(), layers.end(),
                                    [number](const KeyframeLayer &layer) { return layer.number == number; });
    return found == layers.end() ? nullptr : &*found;
}

bool contains(const std::vector<int> &numbers, int number)
{
    return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

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
    decodeKeyframeQuickly(number, layer.full);
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

void SharpLayers::keepAround(int frame, int direction)
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
    m_frame = frame;
    m_direction = direction;
    std::erase_if(m_layers, [this](const KeyframeLayer &layer) { return !contains(m_wanted, layer.number); });
    updateHdWanted();
}

void SharpLayers::clear()
{
    std::lock_guard lock(m_mutex);
    m_wanted.clear();
    m_layers.clear();
    m_frame = 0;
    updateHdWanted();
}

KeyframeLayer SharpLayers::layer(int number) const
{
    std::lock_guard lock(m_mutex);
    const KeyframeLayer *held = find(m_layers, number);
    return held ? *held : KeyframeLayer();
}

bool SharpLayers::holds(int number) const
{
    std::lock_guard lock(m_mutex);
    return find(m_layers, number) != nullptr;
}

int SharpLayers::nextMissing() const
{
    std::lock_guard lock(m_mutex);
    for (int number : m_wanted)
        if (!find(m_layers, number))
            return number;
    return 0;
}

void SharpLayers::store(KeyframeLayer layer)
{
    std::lock_guard lock(m_mutex);
    if (!contains(m_wanted, layer.number))
        return;
    std::erase_if(m_layers, [&](const KeyframeLayer &held) { return held.number == layer.number; });
    m_layers.push_back(std::move(layer));
}

std::size_t SharpLayers::size() const
{
    std::lock_guard lock(m_mutex);
    return m_layers.size();
}

void SharpLayers::setHdSource(HdKeyframeSource source)
{
    std::lock_guard lock(m_mutex);
    m_hdSource = std::move(source);
    m_hdLayers.clear();
    m_hdFailed.clear();
    updateHdWanted();
}

bool SharpLayers::setHdDepth(int depth)
{
    std::lock_guard lock(m_mutex);
    if (depth == m_hdDepth)
        return false;
    m_hdDepth = depth;
    updateHdWanted();
    return true;
}

void SharpLayers::updateHdWanted()
{
    std::vector<int> wanted;
    const auto want = [&](int number) {
        // Only keyframes the view keeps anyway, each once.
        if (contains(m_wanted, number) && !contains(wanted, number))
            wanted.push_back(number);
    };
    if (m_hdSource && m_hdDepth >= 0 && m_frame != 0) {
        // The layers shown larger now, and after the next swap in the zoom's direction.
        for (int depth = 0; depth <= m_hdDepth; ++depth)
            want(m_frame + depth);
        if (m_direction >= 0)
            want(m_frame + m_hdDepth + 1);
        if (m_direction <= 0)
            want(m_frame - 1);
        // "Ein" starts again at the other end of the run ("beide" turns round instead).
        const bool restarts = ZoomState.repeatMode == QLatin1String("ON");
        if (restarts && m_direction >= 0 && m_frame >= ZoomState.lastFrame - 1)
            for (int depth = 0; depth <= m_hdDepth; ++depth)
                want(ZoomState.firstFrame + depth);
        if (restarts && m_direction <= 0 && m_frame <= ZoomState.firstFrame + 1)
            for (int number : {ZoomState.lastFrame, ZoomState.lastFrame - 1})
                want(number);
    }
    m_hdWanted = std::move(wanted);
    std::erase_if(m_hdLayers,
                  [this](const KeyframeLayer &layer) { return !contains(m_hdWanted, layer.number); });
}

KeyframeLayer SharpLayers::hdLayer(int number) const
{
    std::lock_guard lock(m_mutex);
    const KeyframeLayer *held = find(m_hdLayers, number);
    return held ? *held : KeyframeLayer();
}

bool SharpLayers::hdSettled(int number) const
{
    std::lock_guard lock(m_mutex);
    return !contains(m_hdWanted, number) || contains(m_hdFailed, number) || find(m_hdLayers, number);
}

int SharpLayers::nextMissingHd() const
{
    std::lock_guard lock(m_mutex);
    for (int number : m_hdWanted)
        if (!find(m_hdLayers, number) && !contains(m_hdFailed, number))
            return number;
    return 0;
}

void SharpLayers::decodeHd(int number)
{
    HdKeyframeSource source;
    {
        std::lock_guard lock(m_mutex);
        source = m_hdSource;
    }
    KeyframeLayer layer;
    layer.number = number;
    layer.pixelsPerKeyframePixel = 2.0;
    try {
        if (!source)
            return;
        source(number, layer.full);
        if (layer.full.format() != QImage::Format_RGB32)
            layer.full.convertTo(QImage::Format_RGB32);
    } catch (const std::exception &error) {
        qWarning("HD keyframe %d: %s; the 800 x 600 keyframe stands in", number, error.what());
        std::lock_guard lock(m_mutex);
        m_hdFailed.push_back(number);
        return;
    }
    std::lock_guard lock(m_mutex);
    if (!contains(m_hdWanted, number))
        return;
    std::erase_if(m_hdLayers, [number](const KeyframeLayer &held) { return held.number == number; });
    m_hdLayers.push_back(std::move(layer));
}
