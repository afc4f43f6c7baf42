// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QRectF>

#include <vector>

// One picture to compose: its pixels at full resolution and reduced by halves, where the whole
// picture lies on the target, and how strongly it covers what lies below it.
struct CompositeLayer
{
    std::vector<QImage> levels;   // [0] full resolution, each next one half the size before
    QRectF place;                 // in target pixels
    double opacity = 1.0;         // the weight inside
    double feather = 0.0;         // target pixels over which the weight rises from the edge
};

// Composes layers, the first at the bottom, into a target in one pass: each target pixel is
// computed once from every layer that covers it and written once. A layer is sampled bilinearly
// from the first level shown at no less than half its size (so that it does not alias); its
// weight rises linearly from nothing at its edge to its opacity at `feather` inside. Pixels no
// layer covers keep what the target holds. Up to four layers are composed. Rows are shared out
// among the processor's cores.
class LayerCompositor
{
public:
    enum class Path { Fastest, Portable };   // Fastest: AVX2 where the processor has it

    explicit LayerCompositor(Path path = Path::Fastest, int threads = 0);   // 0: one per core

    // Fastest on 32-bit RGB targets (RGB32, ARGB32); others are converted there and back.
    void compose(QImage &target, const std::vector<CompositeLayer> &layers) const;

    // The level of a layer shown at `pixelsPerPixel` target pixels per full-resolution pixel.
    static int levelFor(double pixelsPerPixel, int levelCount);

private:
    Path m_path;
    int m_threads;
};
