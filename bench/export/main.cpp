// SPDX-License-Identifier: GPL-3.0-or-later
// The whole default zoom exported as the command line does it (1920 x 1080, 60 frames per
// second, default quality unless told otherwise): first the frames composed alone, then the
// complete export to each container, against the video's length; and the process's peak memory
// after each. Usage: tf_export_bench [folder] [WxH] [fps]
#include "ExportComposer.h"
#include "ExportSchedule.h"
#include "VideoExport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {
long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// User and system time of all the process's threads so far: on a shared machine a steadier
// figure than the wall clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SVT_LOG", "1");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir scratch;
    const QString folder = args.size() > 1 ? args.at(1) : scratch.path();
    ExportSettings settings;
    if (args.size() > 2)
        settings.size = QSize(args.at(2).section(QLatin1Char('x'), 0, 0).toInt(),
                              args.at(2).section(QLatin1Char('x'), 1, 1).toInt());
    if (args.size() > 3)
        settings.framesPerSecond = args.at(3).toInt();
    settings.overwrite = true;
    const ExportSchedule schedule(ZoomTimeline(settings.stepFactor, settings.ticksPerSecond),
                                  settings.framesPerSecond, settings.startCardSeconds,
                                  settings.endCardSeconds, settings.zoomOut);
    std::printf("%dx%d, %d fps: %d frames, %.2f s of video\n", settings.size.width(), settings.size.height(),
                settings.framesPerSecond, schedule.frameCount(), schedule.seconds());

    QElapsedTimer clock;
    clock.start();
    double cpu = cpuSeconds();
    {
        ExportComposer composer(settings.size, settings.fill);
        for (int index = 0; index < schedule.frameCount(); ++index)
            composer.compose(schedule.at(index));
    }
    const double composing = clock.nsecsElapsed() / 1e9;
    std::printf(
        "composing alone: %.1f s (%.2f x the video's length, %.1f ms per frame), CPU %.1f s, peak %ld MB\n",
        composing, composing / schedule.seconds(), 1000 * composing / schedule.frameCount(),
        cpuSeconds() - cpu, peakKilobytes() / 1024);
    std::fflush(stdout);

    for (const char *name : {"zoom.mp4", "zoom.webm"}) {
        settings.fileName = QDir(folder).filePath(QLatin1String(name));
        clock.restart();
        cpu = cpuSeconds();
        exportVideo(settings);
        const double seconds = clock.nsecsElapsed() / 1e9;
        cpu = cpuSeconds() - cpu;
        // CPU time over both cores: about what the wall clock shows on an otherwise idle machine.
        std::printf(
            "%s: %.1f s (%.2f x the video's length), CPU %.1f s (%.2f x over two cores), %.1f MB, peak "
            "so far %ld MB\n",
            name, seconds, seconds / schedule.seconds(), cpu, cpu / 2 / schedule.seconds(),
            QFileInfo(settings.fileName).size() / 1e6, peakKilobytes() / 1024);
        std::fflush(stdout);
    }
    return 0;
}
