// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <functional>
#include <mutex>
#include <vector>

// One keyframe decoded for the sharp view, with copies reduced to a half and a quarter by area
// averaging for the places where it is shown at less than half its resolution. The picture may
// hold more detail than the keyframe it stands for: `pixelsPerKeyframePixel` is 2 for one of
// twice the keyframe's width and height.
struct KeyframeLayer
{
    int number = 0;
    QImage full;
    std::vector<QImage> reduced;   // half, quarter
    double pixelsPerKeyframePixel = 1.0;
    bool isNull() const { return full.isNull(); }
};

// Decodes keyframe `number` and its reduced copies (any thread; raises ToolkitError).
KeyframeLayer decodeLayer(int number);

// Decodes keyframe `number` at twice the size (1600 x 1200) into the picture; raises ToolkitError.
using HdKeyframeSource = std::function<void(int number, QImage &target)>;

// The keyframes the sharp view composes, decoded by the loader thread ahead of need. The GUI
// thread says which keyframe is on display; the loader fills in what is missing. Stored pictures
// are never changed, so a copy taken by the GUI thread stays valid while the loader goes on.
// Where a larger set is at hand, the layers the view shows larger than their keyframe pixels are
// kept at twice the size as well (HD copies).
class SharpLayers
{
public:
    // Keeps the keyframe `frame`, one before it and three after it (those of the zoom run only),
    // and near the ends of the run the keyframes a repeat starts from; drops every other one.
    // direction: +1 zooming in, -1 zooming out, 0 either; the HD copies are kept ahead in that
    // direction only (each is four times an 800 x 600 keyframe's memory).
    void keepAround(int frame, int direction = 0);
    void clear();

    KeyframeLayer layer(int number) const;   // null while not decoded
    bool holds(int number) const;
    // The keyframe the loader should decode next, or 0 when all wanted ones are there.
    int nextMissing() const;
    void store(KeyframeLayer layer);   // dropped when no longer wanted
    std::size_t size() const;

    // Where HD copies come from; without a source (the default) every layer stays 800 x 600.
    void setHdSource(HdKeyframeSource source);
    // The deepest layer (0: the keyframe on display) that the view shows larger than its
    // keyframe pixels, -1 for none. The HD copies of the keyframes that are or next become such
    // layers, in the direction keepAround was given, are kept. Returns whether the depth changed.
    bool setHdDepth(int depth);
    KeyframeLayer hdLayer(int number) const;   // null while not decoded, or where none is
    // Whether the view has to wait for no HD copy of `number`: it is held, unwanted, or failed.
    bool hdSettled(int number) const;
    int nextMissingHd() const;   // 0 when all wanted HD copies are there
    // Decodes the HD copy of `number` and stores it; an undecodable one is noted as failed and
    // the 800 x 600 keyframe stands in (any thread).
    void decodeHd(int number);

private:
    void updateHdWanted();   // with m_mutex held

    mutable std::mutex m_mutex;
    std::vector<int> m_wanted;   // in the order they are needed
    std::vector<KeyframeLayer> m_layers;
    HdKeyframeSource m_hdSource;
    int m_frame = 0;
    int m_direction = 0;
    int m_hdDepth = -1;
    std::vector<int> m_hdWanted;
    std::vector<KeyframeLayer> m_hdLayers;
    std::vector<int> m_hdFailed;
};

SharpLayers &sharpLayers();
