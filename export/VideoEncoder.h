// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSize>
#include <QString>

#include <memory>

class QImage;

enum class VideoQuality { Low, Medium, High };

// Encodes pictures into a video file with FFmpeg's libraries. The container follows the file
// name's extension: .mp4 holds H.264 (yuv420p, index in front, so that browsers and phones start
// it at once); .mkv and .webm hold AV1, or VP9 where no AV1 encoder is built in. Errors raise
// ToolkitError with a message for the user; a file left behind by an error is the caller's to
// remove.
class VideoEncoder
{
public:
    // The FFmpeg container for `fileName`'s extension ("mp4", "matroska", "webm"), or empty.
    static QString containerFor(const QString &fileName);

    // Writes to `path` in `container` (one of containerFor's answers), whatever its name says.
    VideoEncoder(const QString &path, const QString &container, QSize size, int framesPerSecond,
                 VideoQuality quality);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder &) = delete;
    VideoEncoder &operator=(const VideoEncoder &) = delete;

    // The name of the encoder in use ("libx264", "libsvtav1", ...).
    QString codecName() const;
    // The next picture, of the size given (any format; RGB32 needs no conversion).
    void addFrame(const QImage &picture);
    // Drains the encoder, writes the index and closes the file.
    void finish();

private:
    struct Streams;
    std::unique_ptr<Streams> m_streams;
};
