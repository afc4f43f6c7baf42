// SPDX-License-Identifier: GPL-3.0-or-later
// LoadKeyframe per keyframe against libjpeg-turbo's own tjbench on the same JPEG file.
#include "BenchSupport.h"
#include "KeyframeStore.h"
#include "ResourceStream.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int decodesPerKeyframe = 15;

double loadKeyframeMedian(int number)
{
    std::vector<double> times;
    for (int i = 0; i < decodesPerKeyframe; ++i) {
        const auto start = BenchClock::now();
        LoadKeyframe('B', number);
        times.push_back(millisecondsSince(start));
    }
    return median(times);
}

// Milliseconds per decode that tjbench reports for the file (BGRX output, as the player uses),
// or a negative value when tjbench is missing or says nothing usable.
double tjbenchMilliseconds(const QString &tjbench, const QString &file)
{
    QProcess process;
    process.start(tjbench,
                  {file, QStringLiteral("-bgrx"), QStringLiteral("-nowrite"), QStringLiteral("-benchtime"),
                   QStringLiteral("1"), QStringLiteral("-warmup"), QStringLiteral("0.3")});
    if (!process.waitForFinished(60000))
        return -1;
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Decompress\\s+-->\\s+Frame rate:\\s+([0-9.]+)")).match(output);
    const double fps = match.hasMatch() ? match.captured(1).toDouble() : 0;
    return fps > 0 ? 1000.0 / fps : -1;
}
}

void benchDecode()
{
    std::printf("LoadKeyframe, median of %d decodes per keyframe (ms)\n", decodesPerKeyframe);
    std::vector<double> all;
    for (int number = 1; number <= 63; ++number)
        all.push_back(loadKeyframeMedian(number));
    std::vector<double> sorted = all;
    std::sort(sorted.begin(), sorted.end());
    std::printf("all 63 keyframes: median %.2f, fastest %.2f, slowest %.2f\n\n", median(all), sorted.front(),
                sorted.back());

    const QString tjbench = QStandardPaths::findExecutable(QStringLiteral("tjbench"));
    if (tjbench.isEmpty()) {
        std::printf("tjbench not found (package libjpeg-turbo-progs): no comparison\n\n");
        return;
    }
    QTemporaryDir dir;
    std::printf("%-9s %9s %14s %12s %8s\n", "keyframe", "bytes", "LoadKeyframe", "tjbench", "ratio");
    for (int number : {1, 2, 16, 32, 48, 62, 63}) {
        const QString file = dir.filePath(QStringLiteral("%1.jpg").arg(number));
        QFile out(file);
        const QByteArray bytes = ResourceStream(number).bytes();
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            continue;
        out.close();
        // Measured alternately, so both see the same load on the machine.
        const double ours = loadKeyframeMedian(number);
        const double theirs = tjbenchMilliseconds(tjbench, file);
        const double oursAgain = loadKeyframeMedian(number);
        const double mean = (ours + oursAgain) / 2;
        std::printf("%-9d %9lld %14.2f %12.2f %8.2f\n", number, static_cast<long long>(bytes.size()), mean,
                    theirs, theirs > 0 ? mean / theirs : 0.0);
    }
    std::printf("(ratio: LoadKeyframe / tjbench; wall-clock times of the same file in the same run)\n\n");
}
