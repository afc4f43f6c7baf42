// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyframeStore.h"
#include "JpegImage.h"
#include "ResourceStream.h"
#include "ToolkitError.h"
#include "ZoomState.h"

#include <QResource>

#include <atomic>

namespace {
// Set only while no load runs (tests install it before starting the zoom).
KeyframeSource keyframeSource;
}

void setKeyframeSource(KeyframeSource source)
{
    keyframeSource = std::move(source);
}

QByteArray keyframeBytes(int number)
{
    if (keyframeSource)
        return keyframeSource(number);
    return ResourceStream(number).bytes();
}

namespace {
// Decodes a keyframe's bytes straight from their mapping, whose pages are then let go.
void decodeResource(int number, ResourceStream::Kind kind, QImage &target)
{
    const ResourceStream stream(number, kind);
    JpegImage().decodeInto(stream.data(), std::size_t(stream.size()), target);
    stream.releasePages();
}
}   // namespace

void decodeKeyframe(int number, QImage &target)
{
    if (keyframeSource) {
        const QByteArray data = keyframeSource(number);
        JpegImage().decodeInto(reinterpret_cast<const uchar *>(data.constData()), std::size_t(data.size()),
                               target);
        return;
    }
    decodeResource(number, ResourceStream::Kind::RawData, target);
}

void decodeKeyframeQuickly(int number, QImage &target)
{
    const auto kind = ResourceStream::Kind::BaselineKeyframe;
    if (!keyframeSource && QResource(ResourceStream::path(number, kind)).isValid()) {
        try {
            decodeResource(number, kind, target);
            return;
        } catch (const ToolkitError &) {
            // A damaged data file: the embedded keyframe is still there.
        }
    }
    decodeKeyframe(number, target);
}

void LoadKeyframe(char letter, int number)
{
    decodeKeyframe(number, keyframeBitmap(letter));
    setBitmapKeyframeNumber(letter, number);
}
