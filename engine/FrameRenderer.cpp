// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrameRenderer.h"
#include "SharpFrame.h"
#include "StretchCopy.h"
#include "ZoomHost.h"
#include "ZoomState.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

FrameRect sourceRect;
FrameRect targetRect;

// The read-out and the rectangles work in x87 extended precision (64-bit mantissa); every
// conversion to an integer truncates toward zero.
static_assert(sizeof(long double) > sizeof(double), "the read-out needs 80-bit extended precision");

void RenderFrame()
{
    ZoomStateRecord &zs = ZoomState;

    // The centre of the keyframe, viewRatio of it at scale 1; width and height stay even.
    const int hw = zs.frameWidth / 2;
    const int hh = zs.frameHeight / 2;
    const int dx = int(static_cast<long double>(hw) * zs.viewRatio / zs.scale);
    const int dy = int(static_cast<long double>(hh) * zs.viewRatio / zs.scale);
    sourceRect = {hw - dx, hh - dy, hw + dx, hh + dy};
    targetRect = {0, 0, zs.viewWidth, zs.viewHeight};

    if (!zoomHost)
        return;
    // The surface drawn last goes to the back; the other one receives this picture.
    zoomHost->sendSurfaceToBack(zs.frontImage);
    zs.frontImage = zs.frontImage + 1 > 1 ? 0 : zs.frontImage + 1;

    const QImage &keyframe = keyframeBitmap(zs.activeBitmap.load(std::memory_order_relaxed));
    if (sharpPresentation()) {
        const double regionWidth = zoomHost->sharpRegionWidth();
        zoomHost->showSharpSurface(zs.frontImage,
                                   [regionWidth](QImage &target) { renderSharpView(target, regionWidth); });
    } else {
        stretchCopy(keyframe, QRect(sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height()),
                    zoomHost->surfaceCanvas(zs.frontImage),
                    QRect(targetRect.left, targetRect.top, targetRect.width(), targetRect.height()));
        zoomHost->repaintSurface(zs.frontImage);
    }

    zoomHost->showZoomFactor(zoomFactorDigits(zs.totalZoom), zoomFactorWords(zs.totalZoom));
}

QString zoomFactorDigits(long double totalZoom)
{
    // Only positive finite factors occur; anything else would never leave the loops below.
    if (!(totalZoom > 0.0L) || !std::isfinite(totalZoom))
        return QStringLiteral("0");

    long double v = totalZoom;
    int n = 0;
    while (v < 1000.0L) {
        v = v * 10.0L;
        ++n;
    }
    // Digits from the last to the first: each step moves one digit behind the point.
    std::string reversed;
    while (v >= 1.0L) {
        v = v * 0.1L;
        const long double i = std::trunc(v);
        const int d = int((v - i) * 10.0L);
        reversed += char('0' + d);
        --n;
        if (n == 0)
            reversed += ',';
    }
    std::reverse(reversed.begin(), reversed.end());
    return QString::fromLatin1(reversed.data(), qsizetype(reversed.size()));
}

QString zoomFactorWords(long double totalZoom)
{
    static const char *const larger[] = {"Milliarden", "Billionen", "Billiarden", "Trillionen"};

    const char *word = nullptr;
    long double v = totalZoom;
    if (v > 1000000.0L) {
        word = "Millionen";
        v = v * 1e-6L;
        for (const char *next : larger) {
            if (v > 1000.0L) {
                word = next;
                v = v * 0.001L;
            }
        }
    }
    if (!word)
        return QString();

    // Truncated to two decimals; the step back uses the double nearest to 0.01.
    v = std::trunc(v * 100.0L) * 0.01;

    // General form with at most 15 significant digits, always with a decimal comma.
    char number[64];
    const auto result = std::to_chars(number, number + sizeof number, v, std::chars_format::general, 15);
    QString text = QString::fromLatin1(number, int(result.ptr - number));
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return QStringLiteral("(%1 %2)").arg(text, QLatin1String(word));
}
