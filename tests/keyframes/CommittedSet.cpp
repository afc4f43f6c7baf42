// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommittedSet.h"

#include "JpegMarkers.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "ReferenceOrbit.h"

#include <turbojpeg.h>

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

std::vector<unsigned char> decodeKeyframe(int k)
{
    const auto bytes = readBytes(std::string(KEYFRAMES_DIR) + "/" + std::to_string(k) + ".jpg");
    std::vector<unsigned char> rgb(std::size_t(frameWidth) * frameHeight * 3);
    tjhandle tj = tjInitDecompress();
    const int rc =
        tjDecompress2(tj, bytes.data(), bytes.size(), rgb.data(), frameWidth, 0, frameHeight, TJPF_RGB, 0);
    tjDestroy(tj);
    if (bytes.empty() || rc != 0)
        rgb.clear();
    return rgb;
}
