// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportToolbox.h"

#include <QDir>
#include <QProcess>

#include <cmath>
#include <cstring>

ExportSettings tinyClip(const QString &fileName, QSize size, int framesPerSecond)
{
    ExportSettings settings;
    settings.fileName = fileName;
    settings.size = size;
    settings.framesPerSecond = framesPerSecond;
    settings.stepFactor = ZoomTimeline::stepFactorForSpeed(ZoomTimeline::fastestSpeed);
    settings.startCardSeconds = 0.5;
    settings.endCardSeconds = 0.25;
    return settings;
}

ToolResult runTool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString probe(const QString &fileName)
{
    return QString::fromUtf8(
        runTool(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                 QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                 QStringLiteral("stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_"
                                "frames:format=duration,format_name"),
                 QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), fileName})
            .out);
}

QImage decodedFrame(const QString &fileName, QSize size, int index)
{
    const ToolResult result = runTool(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), fileName, QStringLiteral("-vf"),
         QStringLiteral("select=eq(n\\,%1)").arg(index), QStringLiteral("-frames:v"), QStringLiteral("1"),
         QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgra"),
         QStringLiteral("-")});
    if (result.out.size() != qsizetype(size.width()) * size.height() * 4)
        return {};
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(image.scanLine(y), result.out.constData() + qsizetype(y) * size.width() * 4,
                    size.width() * 4);
    return image;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}
