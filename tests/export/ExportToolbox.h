// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tools the export tests share: small, fast export settings, and the outside programs that
// check the results (ffprobe, ffmpeg and the player's own command line).
#include "VideoExport.h"

#include <QImage>
#include <QStringList>

// A clip of a few seconds at a small size: the fastest speed, short card holds.
ExportSettings tinyClip(const QString &fileName, QSize size = QSize(160, 120), int framesPerSecond = 8);

struct ToolResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
ToolResult runTool(const QString &program, const QStringList &arguments, int timeoutMs = 60000);

// ffprobe's answer for the video stream and the container, as key=value lines, frames counted.
QString probe(const QString &fileName);
// Frame `index` of the video, decoded by ffmpeg.
QImage decodedFrame(const QString &fileName, QSize size, int index);
// The files in `folder`, hidden ones included.
QStringList filesIn(const QString &folder);
