// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegImage.h"
#include "ToolkitError.h"

#include <QImage>
#include <turbojpeg.h>

JpegImage::JpegImage() : m_handle(tjInitDecompress())
{
    if (!m_handle)
        throw ToolkitError(QStringLiteral("JPEG-Decoder kann nicht erzeugt werden"));
}

JpegImage::~JpegImage()
{
    tjDestroy(m_handle);
}

void JpegImage::decodeInto(const uchar *data, std::size_t size, QImage &target)
{
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!data || size == 0
        || tjDecompressHeader3(m_handle, data, static_cast<unsigned long>(size), &width, &height,
                               &subsampling, &colorspace)
            != 0
        || width <= 0 || height <= 0)
        throw ToolkitError(
            QStringLiteral("JPEG-Fehler: %1").arg(QString::fromUtf8(tjGetErrorStr2(m_handle))));

    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        throw ToolkitError(
            QStringLiteral("Nicht genügend Speicher für %1 x %2 Bildpunkte").arg(width).arg(height));
    // RGB32 is 0xffRRGGBB in native order: BGRX bytes on little-endian machines.
    constexpr int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;
    if (tjDecompress2(m_handle, data, static_cast<unsigned long>(size), picture.bits(), width,
                      int(picture.bytesPerLine()), height, pixelFormat, 0)
        != 0)
        throw ToolkitError(
            QStringLiteral("JPEG-Fehler: %1").arg(QString::fromUtf8(tjGetErrorStr2(m_handle))));
    target.swap(picture);
}
