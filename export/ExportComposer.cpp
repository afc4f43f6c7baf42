// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportComposer.h"
#include "SharpFrame.h"

#include <algorithm>
#include <cmath>

ExportComposer::ExportComposer(QSize size, bool fill) : m_fill(fill), m_frame(size, QImage::Format_RGB32)
{
    m_frame.fill(Qt::black);
}

const KeyframeLayer &ExportComposer::layer(int number)
{
    auto found = m_layers.find(number);
    if (found == m_layers.end())
        found = m_layers.emplace(number, decodeLayer(number)).first;
    return found->second;
}

void ExportComposer::keepLayersNear(int number)
{
    // Each direction passes every keyframe once: the decoded ones around the view are all it
    // needs (the cards at either end lie outside the run and go when it begins).
    m_layers.erase(m_layers.begin(), m_layers.lower_bound(number - 1));
    m_layers.erase(m_layers.upper_bound(number + 3), m_layers.end());
}

const QImage &ExportComposer::compose(const ZoomMoment &moment)
{
    keepLayersNear(moment.frame);
    // The cards carry text and are shown alone; the run composes up to two deeper keyframes.
    const bool card = moment.frame < ZoomTimeline::firstFrame || moment.frame > ZoomTimeline::lastFrame;
    const int deepest = card ? moment.frame : std::min(moment.frame + 2, ZoomTimeline::lastFrame);
    const KeyframeLayer *layers[3] = {nullptr, nullptr, nullptr};
    for (int number = moment.frame; number <= deepest; ++number)
        layers[number - moment.frame] = &layer(number);

    const QSizeF picture = layers[0]->full.size();
    const double ratio = m_fill
        ? std::max(m_frame.width() / picture.width(), m_frame.height() / picture.height())
        : std::min(m_frame.width() / picture.width(), m_frame.height() / picture.height());
    QRect place = m_frame.rect();
    if (!m_fill) {
        // The bars stay black from the start; only the picture's area is drawn.
        const QSize inner(std::min(m_frame.width(), int(std::lround(picture.width() * ratio))),
                          std::min(m_frame.height(), int(std::lround(picture.height() * ratio))));
        place = QRect(QPoint((m_frame.width() - inner.width()) / 2, (m_frame.height() - inner.height()) / 2),
                      inner);
    }
    uchar *bits = m_frame.bits() + place.top() * m_frame.bytesPerLine() + place.left() * 4;
    QImage target(bits, place.width(), place.height(), m_frame.bytesPerLine(), QImage::Format_RGB32);
    target.fill(Qt::black);
    composeSharpView(target, layers, moment.scale, place.width() / ratio);
    return m_frame;
}
