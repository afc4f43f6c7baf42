// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
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

// The keyframes the sharp view composes, decoded by the loader thread ahead of need. The GUI
// thread says which keyframe is on display; the loader fills in what is missing. Stored pictures
// are never changed, so a copy taken by the GUI thread stays valid while the loader goes on.
class SharpLayers
{
public:
    // Keeps the keyframe `frame`, one before it and three after it (those of the zoom run only),
    // and near the ends of the run the keyframes a repeat starts from; drops every other one.
    void keepAround(int frame);
    void clear();

    KeyframeLayer layer(int number) const;   // null while not decoded
    bool holds(int number) const;
    // The keyframe the loader should decode next, or 0 when all wanted ones are there.
    int nextMissing() const;
    void store(KeyframeLayer layer);   // dropped when no longer wanted
    std::size_t size() const;

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_wanted;   // in the order they are needed
    std::vector<KeyframeLayer> m_layers;
};

SharpLayers &sharpLayers();
