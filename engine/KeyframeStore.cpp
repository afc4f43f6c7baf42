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

void decodeKeyframe(int number, QImage &target)
{
    JpegImage jpeg;
    if (keyframeSource) {
        const QByteArray data = keyframeSource(number);
        jpeg.decodeInto(reinterpret_cast<const uchar *>(data.constData()), std::size_t(data.size()), target);
        return;
    }
    const ResourceStream stream(number);
    jpeg.decodeInto(stream.data(), std::size_t(stream.size()), target);
    stream.releasePages();
}

void decodeKeyframeQuickly(int number, QImage &target)
{
    const QString copy = ResourceStream::path(number, ResourceStream::Kind::BaselineKeyframe);
    if (!keyframeSource && QResource(copy).isValid()) {
        try {
            const ResourceStream stream(number, ResourceStream::Kind::BaselineKeyframe);
            JpegImage().decodeInto(stream.data(), std::size_t(stream.size()), target);
            stream.releasePages();
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
