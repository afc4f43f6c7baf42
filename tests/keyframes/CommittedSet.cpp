// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommittedSet.h"

#include "JpegMarkers.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "ReferenceOrbit.h"

#include <turbojpeg.h>

#include <filesystem>
#include <string>

using namespace keyframes;

const KeyframeParams &committedParams()
{
    static const KeyframeParams p = KeyframeParams::load(std::string(KEYFRAMES_DIR) + "/keyframes.params");
    return p;
}

const ReferenceOrbit &committedOrbit()
{
    static const ReferenceOrbit o(committedParams().centreRe, committedParams().centreIm,
                                  committedParams().precisionBits, committedParams().maxIterations,
                                  committedParams().bailout);
    return o;
}

bool setPresent(const KeyframeSet &set)
{
    for (int k = firstKeyframe; k <= lastKeyframe; ++k)
        if (!std::filesystem::exists(std::string(KEYFRAMES_DIR) + "/" + set.folder + std::to_string(k)
                                     + ".jpg"))
            return false;
    return true;
}

std::vector<unsigned char> decodeKeyframe(int k, const KeyframeSet &set)
{
    const auto bytes = readBytes(std::string(KEYFRAMES_DIR) + "/" + set.folder + std::to_string(k) + ".jpg");
    std::vector<unsigned char> rgb(std::size_t(set.width) * std::size_t(set.height) * 3);
    tjhandle tj = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    const bool sized = !bytes.empty()
        && tjDecompressHeader3(tj, bytes.data(), bytes.size(), &width, &height, &subsampling, &colourspace)
            == 0
        && width == set.width && height == set.height;
    const int rc = sized
        ? tjDecompress2(tj, bytes.data(), bytes.size(), rgb.data(), set.width, 0, set.height, TJPF_RGB, 0)
        : -1;
    tjDestroy(tj);
    if (rc != 0)
        rgb.clear();
    return rgb;
}
