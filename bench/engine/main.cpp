// SPDX-License-Identifier: GPL-3.0-or-later
// Engine benchmarks: rendering one zoom view, decoding a keyframe, and a whole zoom run with
// real timers. Usage: tf_engine_bench [render] [decode] [zoomrun] [sharp] [hd] (all by default).
#include "BenchSupport.h"
#include "Startup.h"

#include <QApplication>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ctime>

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(share * double(values.size())))];
}

double processMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

int main(int argc, char **argv)
{
    // The offscreen platform's notes on window masks and stacking would only clutter the tables.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtDebugMsg && !message.startsWith(QLatin1String("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    runUnitStartSteps();
    QApplication app(argc, argv);
    std::printf("platform: %s\n\n", qPrintable(QApplication::platformName()));

    QStringList parts = app.arguments().mid(1);
    if (parts.isEmpty())
        parts = {QStringLiteral("render"), QStringLiteral("decode"), QStringLiteral("zoomrun"),
                 QStringLiteral("sharp"), QStringLiteral("hd")};
    for (const QString &part : parts) {
        if (part == QLatin1String("render"))
            benchRender();
        else if (part == QLatin1String("decode"))
            benchDecode();
        else if (part == QLatin1String("zoomrun"))
            benchZoomRun();
        else if (part == QLatin1String("sharp"))
            benchSharp();
        else if (part == QLatin1String("hd"))
            benchHdComposition();
        else {
            std::fprintf(stderr, "unknown part %s (render, decode, zoomrun, sharp, hd)\n", qPrintable(part));
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
