// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegFixture.h"

#include <QImage>
#include <turbojpeg.h>

QByteArray makeJpeg(int width, int height, QColor colour)
{
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(colour);
    tjhandle handle = tjInitCompress();
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(handle, picture.constBits(), width, int(picture.bytesPerLine()), height,
                               TJPF_RGB, &jpeg, &size, TJSAMP_420, 95, 0);
    QByteArray bytes =
        rc == 0 ? QByteArray(reinterpret_cast<const char *>(jpeg), qsizetype(size)) : QByteArray();
    tjFree(jpeg);
    tjDestroy(handle);
    return bytes;
}
