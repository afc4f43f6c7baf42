// SPDX-License-Identifier: GPL-3.0-or-later
#include "FramebufferView.h"

#include <QtEndian>
#include <cstring>

FramebufferView::FramebufferView(const QString &folder) : m_file(folder + QStringLiteral("/Xvfb_screen0"))
{
    if (!m_file.open(QIODevice::ReadOnly))
        return;
    const uchar *file = m_file.map(0, m_file.size());
    if (!file || m_file.size() < 100)
        return;
    // XWD header: big-endian 32-bit fields; the pixels follow the header and the colour table.
    const auto field = [file](int index) { return qFromBigEndian<quint32>(file + 4 * index); };
    const quint32 headerSize = field(0), bitsPerPixel = field(11), colours = field(19);
    m_width = int(field(4));
    m_height = int(field(5));
    m_bytesPerLine = field(12);
    const qint64 offset = qint64(headerSize) + qint64(colours) * 12;
    if (bitsPerPixel != 32 || offset + m_bytesPerLine * m_height > m_file.size())
        return;
    m_pixels = file + offset;
}

QImage FramebufferView::region(const QRect &area) const
{
    const QRect inside = area & QRect(0, 0, m_width, m_height);
    QImage image(inside.size(), QImage::Format_RGB32);
    for (int y = 0; y < inside.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        std::memcpy(line, m_pixels + (inside.y() + y) * m_bytesPerLine + qint64(inside.x()) * 4,
                    std::size_t(inside.width()) * 4);
        for (int x = 0; x < inside.width(); ++x)
            line[x] |= 0xff000000u;
    }
    return image;
}
