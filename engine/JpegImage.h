// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>

class QImage;
using uchar = unsigned char;

// A JPEG picture decoded by libjpeg-turbo's TurboJPEG API straight into a QImage's buffer
// (RGB32). Each object owns its own decompressor, so loads on different threads share nothing;
// Qt's image plugins are never involved, which keeps the loader thread safe to abandon at exit.
class JpegImage
{
public:
    JpegImage();
    ~JpegImage();
    JpegImage(const JpegImage &) = delete;
    JpegImage &operator=(const JpegImage &) = delete;

    // Decodes the whole picture at its own size into a new image and swaps it into target.
    // On failure target keeps its previous picture and ToolkitError is raised.
    void decodeInto(const uchar *data, std::size_t size, QImage &target);

private:
    void *m_handle = nullptr;
};
