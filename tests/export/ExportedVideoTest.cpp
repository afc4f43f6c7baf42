// SPDX-License-Identifier: GPL-3.0-or-later
// Exported videos as outside programs read them: ffprobe sees the codec, size, frame rate, frame
// count and duration asked for; ffmpeg's decoded frames match the compositor's own picture for
// their moment; and the zoom between consecutive frames grows by one constant factor.
#include "ExportComposer.h"
#include "ExportSchedule.h"
#include "ExportToolbox.h"
#include "ImageCompare.h"
#include "SharpFrame.h"
#include "SharpLayers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

TEST(ExportedVideo, FfprobeReadsEachFormatAsAskedFor)
{
    QTemporaryDir dir;
    for (const auto &[name, codec] :
         {std::pair{"zoom.mp4", "h264"}, {"zoom.mkv", "av1"}, {"zoom.webm", "av1"}}) {
        SCOPED_TRACE(name);
        const ExportSettings settings = tinyClip(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(exportVideo(settings));
        const ExportSchedule schedule(ZoomTimeline(settings.stepFactor), settings.framesPerSecond,
                                      settings.startCardSeconds, settings.endCardSeconds, false);
        const QString answer = probe(settings.fileName);
        EXPECT_TRUE(answer.contains(QStringLiteral("codec_name=%1\n").arg(QLatin1String(codec))))
            << qPrintable(answer);
        EXPECT_TRUE(answer.contains(QLatin1String("width=160\nheight=120\n"))) << qPrintable(answer);
        EXPECT_TRUE(answer.contains(QLatin1String("pix_fmt=yuv420p\n"))) << qPrintable(answer);
        EXPECT_TRUE(answer.contains(QLatin1String("r_frame_rate=8/1\n"))) << qPrintable(answer);
        EXPECT_TRUE(answer.contains(QStringLiteral("nb_read_frames=%1\n").arg(schedule.frameCount())))
            << qPrintable(answer);
        const double duration =
            answer.section(QLatin1String("duration="), 1).section(QLatin1Char('\n'), 0, 0).toDouble();
        EXPECT_NEAR(duration, schedule.frameCount() / 8.0, 0.13);
        EXPECT_NEAR(duration, schedule.seconds(), 0.13);
        if (settings.fileName.endsWith(QLatin1String(".mp4"))) {
            // Fast start: the index comes before the pictures.
            QFile file(settings.fileName);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));
        }
    }
}

TEST(ExportedVideo, DecodedFramesMatchTheCompositorAtASwapAndMidSegment)
{
    QTemporaryDir dir;
    // 16:9 around the 4:3 picture: bars of 80 pixels left and right. The default speed, so that
    // a segment spans several frames.
    ExportSettings settings = tinyClip(dir.filePath(QStringLiteral("zoom.mp4")), QSize(640, 360), 6);
    settings.stepFactor = ZoomTimeline::defaultStepFactor;
    settings.quality = VideoQuality::High;
    ASSERT_TRUE(exportVideo(settings));

    const ZoomTimeline timeline(settings.stepFactor);
    const auto momentOf = [&](int index) {
        return timeline.atRunSeconds(double(index) / settings.framesPerSecond - settings.startCardSeconds);
    };
    const int firstRunFrame = int(std::ceil(settings.startCardSeconds * settings.framesPerSecond));
    int swap = firstRunFrame + 1;
    while (momentOf(swap).frame == momentOf(swap - 1).frame)
        ++swap;
    int middle = swap;
    while (std::abs(momentOf(middle).scale - std::sqrt(2.0)) > 0.15)
        ++middle;

    for (int index : {swap, middle}) {
        SCOPED_TRACE(index);
        const ZoomMoment moment = momentOf(index);
        KeyframeLayer layers[3];
        const KeyframeLayer *pointers[3] = {};
        for (int depth = 0; depth < 3 && moment.frame + depth <= ZoomTimeline::lastFrame; ++depth) {
            layers[depth] = decodeLayer(moment.frame + depth);
            pointers[depth] = &layers[depth];
        }
        QImage reference(480, 360, QImage::Format_RGB32);
        reference.fill(Qt::black);
        composeSharpView(reference, pointers, moment.scale, layers[0].full.width());

        const QImage decoded = decodedFrame(settings.fileName, settings.size, index);
        ASSERT_FALSE(decoded.isNull());
        const double match = psnr(decoded.copy(80, 0, 480, 360), reference);
        std::printf("frame %d: keyframe %d at %.3f, %.1f dB\n", index, moment.frame, moment.scale, match);
        EXPECT_GE(match, 35.0);
        const QImage bars[] = {decoded.copy(0, 0, 78, 360), decoded.copy(562, 0, 78, 360)};
        for (const QImage &bar : bars) {
            QImage black(bar.size(), QImage::Format_RGB32);
            black.fill(Qt::black);
            EXPECT_GE(psnr(bar, black), 40.0);
        }
    }
}

TEST(ExportedVideo, ConsecutiveFramesZoomByOneConstantFactor)
{
    const ZoomTimeline timeline;   // the player's default speed
    const int framesPerSecond = 24;
    const double perFrame = std::log2(timeline.stepFactor()) * timeline.ticksPerSecond() / framesPerSecond;
    for (bool zoomOut : {false, true}) {
        SCOPED_TRACE(zoomOut ? "out" : "in");
        const ExportSchedule schedule(timeline, framesPerSecond, 1.0, 2.0, zoomOut);
        EXPECT_EQ(schedule.frameCount(), std::lround((3.0 + timeline.runSeconds()) * framesPerSecond));
        const int firstCard = zoomOut ? ZoomTimeline::endCard : ZoomTimeline::startCard;
        const int lastCard = zoomOut ? ZoomTimeline::startCard : ZoomTimeline::endCard;
        EXPECT_EQ(schedule.at(0).frame, firstCard);
        EXPECT_EQ(schedule.at(schedule.frameCount() - 1).frame, lastCard);
        int runFrames = 0;
        double before = NAN;
        for (int index = 0; index < schedule.frameCount(); ++index) {
            const ZoomMoment moment = schedule.at(index);
            if (moment.frame == firstCard || moment.frame == lastCard) {
                before = NAN;
                continue;
            }
            ++runFrames;
            ASSERT_GE(moment.scale, 1.0);
            ASSERT_LE(moment.scale, 2.0);
            const double octaves = moment.frame - ZoomTimeline::firstFrame + std::log2(moment.scale);
            if (!std::isnan(before)) {
                ASSERT_NEAR(octaves - before, zoomOut ? -perFrame : perFrame, 1e-9) << "frame " << index;
            }
            before = octaves;
        }
        EXPECT_NEAR(runFrames, timeline.runSeconds() * framesPerSecond, 1.0);
    }
}

TEST(ExportComposer, FillCropsThePictureToTheWholeFrame)
{
    // --fill at 16:9: the 4:3 picture as wide as the frame, its top and bottom cut off evenly.
    ExportComposer composer(QSize(320, 180), true);
    const ZoomMoment moment{10, 1.5};
    const QImage filled = composer.compose(moment);
    KeyframeLayer layers[3] = {decodeLayer(10), decodeLayer(11), decodeLayer(12)};
    const KeyframeLayer *pointers[3] = {&layers[0], &layers[1], &layers[2]};
    QImage whole(320, 240, QImage::Format_RGB32);
    whole.fill(Qt::black);
    composeSharpView(whole, pointers, moment.scale, layers[0].full.width());
    EXPECT_GE(psnr(filled, whole.copy(0, 30, 320, 180)), 40.0);
}
