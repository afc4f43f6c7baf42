// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

namespace {

// libjpeg reports errors through error_exit, which must not return; it jumps back to the encoder
// (the library is C, so no exception is thrown through it).
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

}   // namespace

std::vector<unsigned char> encodeKeyframeJpeg(const unsigned char *rgb, int width, int height, int quality)
{
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = jumpOnError;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throw std::runtime_error(std::string("JPEG encoding failed: ") + err.message);
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);   // YCbCr, 2x2 / 1x1 / 1x1 sampling, ids 1..3, Annex K tables
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_simple_progression(&cinfo);
    cinfo.optimize_coding = TRUE;
    cinfo.write_JFIF_header = TRUE;
    cinfo.JFIF_major_version = 1;
    cinfo.JFIF_minor_version = 1;
    cinfo.density_unit = 1;   // dots per inch
    cinfo.X_density = 72;
    cinfo.Y_density = 72;
    cinfo.write_Adobe_marker = FALSE;
    cinfo.restart_interval = 0;
    cinfo.restart_in_rows = 0;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + std::size_t(cinfo.next_scanline) * std::size_t(width) * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

void writeFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw std::runtime_error("cannot create " + temp);
        out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + temp);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot rename " + temp + " to " + path);
}
