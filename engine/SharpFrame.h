// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QImage;
struct KeyframeLayer;

// The sharp view: each frame composed from the keyframe on display and the two deeper ones,
// which hold its central half and central quarter at two and four times the resolution. Drawn
// at the screen's device resolution, smoothly filtered, with feathered seams. The weights depend
// only on the layer and the scale, so a keyframe swap (keyframe k at scale 2 becoming keyframe
// k + 1 at scale 1) draws the same picture.

bool sharpPresentation();
// Switches the presentation; the sharp one keeps the deeper keyframes decoded in the background.
void setSharpPresentation(bool sharp);

// Tells the loader which keyframe is on display, so that it keeps its deeper neighbours (and the
// one before) decoded, and which way the zoom goes (+1 in, -1 out, 0 either). Does nothing in the
// original presentation.
void keepSharpLayersAround(int frame, int direction = 0);
// Whether everything the sharp view of keyframe `frame` needs is decoded (always true in the
// original presentation): a keyframe swap waits for it as it waits for the next bitmap.
bool sharpLayersReady(int frame);

// Composes the view into the whole of `target` (device pixels): layers[0] is the keyframe on
// display at `scale`, layers[1] and layers[2] the deeper ones (either may be null).
// `regionWidth` is the width of the keyframe area the view shows at scale 1. Where `hdLayers`
// holds a layer's HD copy and the view shows that layer larger than its keyframe pixels, the copy
// takes its place, at the same place, weight and feather.
void composeSharpView(QImage &target, const KeyframeLayer *const layers[3], double scale, double regionWidth);
void composeSharpView(QImage &target, const KeyframeLayer *const layers[3],
                      const KeyframeLayer *const hdLayers[3], double scale, double regionWidth);

// Whether a layer shown at `devicePixels` device pixels per keyframe pixel comes from its HD copy.
bool sharpLayerUsesHd(double devicePixels);
// The deepest layer (0 to 2) that a view of `devicePixels` device pixels per keyframe pixel at
// scale 1 shows larger than its keyframe pixels somewhere in a segment; -1 for none.
int sharpHdDepth(double devicePixels);

// The weight of a deeper layer (depth 1 or 2) at `scale`, and the width in its keyframe's pixels over
// which it fades in from its edge.
double sharpLayerOpacity(int depth, double scale);
double sharpLayerFeather(int depth, double scale);

// RenderFrame's sharp path: composes the active bitmap with the decoded deeper keyframes.
void renderSharpView(QImage &target, double regionWidth);
