// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "SharpLayers.h"
#include "ZoomTimeline.h"

#include <QImage>
#include <QSize>

#include <map>

// Draws video frames of any size in the sharp presentation. The keyframes' picture is centred
// between black bars, or with `fill` scaled to cover the whole frame and cropped. Decodes the
// keyframes it needs itself, so it runs on any thread without the player.
class ExportComposer
{
public:
    ExportComposer(QSize size, bool fill);

    // The frame showing `moment`; valid until the next call.
    const QImage &compose(const ZoomMoment &moment);

private:
    const KeyframeLayer &layer(int number);
    void keepLayersNear(int number);

    bool m_fill;
    QImage m_frame;
    std::map<int, KeyframeLayer> m_layers;
};
