// SPDX-License-Identifier: GPL-3.0-or-later
// Rewrites a JPEG file as a baseline (sequential) one, losslessly:
// the DCT coefficients are copied, so every decoder gives the same pixels. A progressive picture
// takes the player's decoder two to three times as long as the same picture in baseline form, and
// the sharp view decodes keyframes while the zoom plays; the committed files stay as they are.
// Usage: tf-jpeg-baseline IN.jpg OUT.jpg
#include <turbojpeg.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.jpg OUT.jpg\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (!in.is_open() || bytes.empty()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    tjhandle handle = tjInitTransform();
    tjtransform transform{};
    transform.op = TJXOP_NONE;   // without TJXOPT_PROGRESSIVE the output is sequential
    unsigned char *output = nullptr;
    unsigned long outputSize = 0;
    if (!handle
        || tjTransform(handle, bytes.data(), bytes.size(), 1, &output, &outputSize, &transform, 0) != 0) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1],
                     handle ? tjGetErrorStr2(handle) : "no transformer");
        tjDestroy(handle);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(output), std::streamsize(outputSize));
    out.close();
    tjFree(output);
    tjDestroy(handle);
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
