// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFile>
#include <QImage>
#include <QRect>

// The screen of an Xvfb server started with a framebuffer folder, read straight from the
// memory-mapped XWD file the server draws into: a region costs microseconds, not a screenshot.
class FramebufferView
{
public:
    explicit FramebufferView(const QString &folder);
    bool isValid() const { return m_pixels != nullptr; }
    QImage region(const QRect &area) const;   // RGB32

private:
    QFile m_file;
    const uchar *m_pixels = nullptr;
    int m_width = 0, m_height = 0;
    qint64 m_bytesPerLine = 0;
};
