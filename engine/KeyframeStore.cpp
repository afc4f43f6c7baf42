// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyframeStore.h"
#include "JpegImage.h"
#include "ResourceStream.h"
#include "ZoomState.h"

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
    const QByteArray data = keyframeBytes(number);
    JpegImage jpeg;
    jpeg.decodeInto(reinterpret_cast<const uchar *>(data.constData()), std::size_t(data.size()), target);
}

void LoadKeyframe(char letter, int number)
{
    decodeKeyframe(number, keyframeBitmap(letter));
    setBitmapKeyframeNumber(letter, number);
}
