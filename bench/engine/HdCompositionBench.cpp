// SPDX-License-Identifier: GPL-3.0-or-later
// The sharp view's composition as full screen draws it, from the 800 x 600 keyframes alone and
// with the HD copies (decoded here as the loader decodes them), over the scales of one segment:
// wall-clock median and p99, and the process's CPU time per frame (all its threads).
#include "BenchSupport.h"
#include "HdKeyframeSet.h"
#include "SharpFrame.h"
#include "SharpLayers.h"

#include <QFileInfo>
#include <QImage>

#include <cmath>
#include <cstdio>

namespace {
constexpr int rounds = 30;
constexpr int scalesPerSegment = 18;
constexpr int frame = 30;
}   // namespace

HdKeyframeSet builtHdKeyframes()
{
#ifdef TF_HD_KEYFRAMES_FILE
    return HdKeyframeSet::registerFirst({QFileInfo(QStringLiteral(TF_HD_KEYFRAMES_FILE)).absolutePath()});
#else
    return {};
#endif
}

void benchHdComposition()
{
    const HdKeyframeSet hd = builtHdKeyframes();
    KeyframeLayer layers[3], hdLayers[3];
    for (int depth = 0; depth < 3; ++depth) {
        layers[depth] = decodeLayer(frame + depth);
        hdLayers[depth].number = frame + depth;
        hdLayers[depth].pixelsPerKeyframePixel = 2.0;
        if (hd.isAvailable())
            hd.decode(frame + depth, hdLayers[depth].full);
    }
    const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};
    const KeyframeLayer *const hdPointers[3] = {&hdLayers[0], &hdLayers[1], &hdLayers[2]};
    const KeyframeLayer *const none[3] = {nullptr, nullptr, nullptr};

    std::printf(
        "Full-screen composition (keyframe %d, %d scales x %d rounds), ms per frame: median, p99, cpu\n",
        frame, scalesPerSegment, rounds);
    std::printf("%-34s %8s %8s %8s %8s %8s %8s\n", "", "SD med", "SD p99", "SD cpu", "HD med", "HD p99",
                "HD cpu");
    for (const QSize picture : {QSize(1440, 1080), QSize(2880, 2160)}) {
        QImage canvas(picture, QImage::Format_RGB32);
        double figures[2][3];
        for (const bool withHd : {false, true}) {
            std::vector<double> wall, cpu;
            for (int round = 0; round < rounds; ++round)
                for (int k = 0; k < scalesPerSegment; ++k) {
                    const double scale = std::pow(2.0, double(k) / scalesPerSegment);
                    const double cpuStart = processMilliseconds();
                    const auto start = BenchClock::now();
                    composeSharpView(canvas, pointers, withHd ? hdPointers : none, scale, 800);
                    wall.push_back(millisecondsSince(start));
                    cpu.push_back(processMilliseconds() - cpuStart);
                }
            figures[withHd][0] = median(wall);
            figures[withHd][1] = percentile(wall, 0.99);
            figures[withHd][2] = median(cpu);
        }
        std::printf("%-34s %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f\n",
                    qPrintable(QStringLiteral("picture %1 x %2").arg(picture.width()).arg(picture.height())),
                    figures[0][0], figures[0][1], figures[0][2], figures[1][0], figures[1][1], figures[1][2]);
    }
    if (!hd.isAvailable())
        std::printf("(no HD keyframes built: both columns from the 800 x 600 ones)\n");
    std::printf("\n");
}
