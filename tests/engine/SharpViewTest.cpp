// SPDX-License-Identifier: GPL-3.0-or-later
// The sharp view against a reference composed by hand from Qt's smooth scaling of the keyframe
// crops; and a zoom through keyframe swaps in the sharp view: no jump, no decode on the GUI thread.
#include "EngineFixture.h"
#include "ImageCompare.h"
#include "KeyframeStore.h"
#include "ResourceStream.h"
#include "SharpFrame.h"
#include "SharpLayers.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QPainter>
#include <QPainterPath>
#include <QResource>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

QByteArray embeddedKeyframe(int number)
{
    return ResourceStream(number).bytes();
}

// PSNR over the pixels `mask` marks (non-zero).

// A stand-in for an HD keyframe: keyframe `number` enlarged twice, with a fine checker of +-12
// levels that only the HD copy holds (its 2 x 2 blocks average it away).
QImage syntheticHd(int number)
{
    QImage sd;
    decodeKeyframe(number, sd);
    QImage hd = sd.convertToFormat(QImage::Format_RGB32)
                    .scaled(sd.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < hd.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(hd.scanLine(y));
        for (int x = 0; x < hd.width(); ++x) {
            const int d = (x + y) % 2 ? 12 : -12;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + d, 0, 255), std::clamp(qGreen(c) + d, 0, 255),
                           std::clamp(qBlue(c) + d, 0, 255));
        }
    }
    return hd;
}

class SharpViewTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        useKeyframes(embeddedKeyframe);
        ZoomState.viewWidth = 800;
        ZoomState.viewHeight = 600;
        ZoomState.viewRatio = 1.0;
    }
    void TearDown() override
    {
        setSharpPresentation(false);
        sharpLayers().setHdSource({});
        EngineTest::TearDown();
    }
};

}   // namespace

// At scale 1 the view shows keyframe k outside k+1's place and k+1 inside (k+2 has not faded in
// yet); from scale 1.5 on k+2 is whole in the centre (the fade between is the swap test's). Each zone, away from the feathered edges,
// must look like the smoothly scaled crop of its keyframe.
TEST_F(SharpViewTest, EveryLayerLooksLikeItsKeyframeSmoothlyScaled)
{
    const int frame = 30;
    KeyframeLayer layers[3];
    for (int d = 0; d < 3; ++d)
        layers[d] = decodeLayer(frame + d);
    const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};

    for (int ratio : {1, 2}) {
        for (double scale : {1.0, 1.75, 2.0}) {
            SCOPED_TRACE(testing::Message() << "ratio " << ratio << ", scale " << scale);
            QImage view(800 * ratio, 600 * ratio, QImage::Format_RGB32);
            view.fill(Qt::magenta);
            composeSharpView(view, pointers, scale, 800);

            // The reference: each layer's crop scaled by Qt, painted over the one below.
            QImage reference(view.size(), QImage::Format_RGB32);
            QImage mask(view.size(), QImage::Format_RGB32);
            mask.fill(Qt::black);
            QPainter paint(&reference), zones(&mask);
            const QRectF canvas(reference.rect());
            const int deepest = sharpLayerOpacity(2, scale) >= 1.0 ? 2 : 1;
            for (int d = 0; d <= deepest; ++d) {
                const double f = ratio * scale / double(1 << d);   // device pixels per layer pixel
                const QRectF place(canvas.center() - QPointF(400 * f, 300 * f), QSizeF(800 * f, 600 * f));
                const QRectF shown = place & canvas;
                // Whole layer pixels around the part on screen.
                const QRect crop =
                    QRectF((shown.topLeft() - place.topLeft()) / f, shown.size() / f).toAlignedRect()
                    & QRect(0, 0, 800, 600);
                const QRectF target(place.topLeft() + QPointF(crop.topLeft()) * f, QSizeF(crop.size()) * f);
                const QImage scaled =
                    layers[d].full.copy(crop).scaled(qRound(target.width()), qRound(target.height()),
                                                     Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                paint.drawImage(target.topLeft(), scaled);
                // Compared: the layer's own zone, a few pixels inside its fade and outside the next.
                const double inset = sharpLayerFeather(d, scale) * f + 3;
                zones.fillRect(place.adjusted(inset, inset, -inset, -inset), Qt::white);
            }
            for (int d = 1; d <= deepest; ++d) {
                // Where a deeper layer fades in, neither layer alone is the reference.
                const double f = ratio * scale / double(1 << d);
                const QRectF place(canvas.center() - QPointF(400 * f, 300 * f), QSizeF(800 * f, 600 * f));
                const double inset = sharpLayerFeather(d, scale) * f + 3;
                const QRectF fade = place.adjusted(-3, -3, 3, 3);
                const QRectF inner = place.adjusted(inset, inset, -inset, -inset);
                QPainterPath ring;
                ring.addRect(fade);
                ring.addRect(inner);
                zones.fillPath(ring, Qt::black);
            }
            paint.end();
            zones.end();
            // Where the layers' pixels fall on whole device pixels (scales 1 and 2) the view and
            // Qt's scaling sample the same points, and a layer one device pixel off drops below
            // 32 dB. In between, the two bilinear filters differ in phase, which the keyframes'
            // fine texture turns into about 29 to 38 dB.
            const bool aligned = scale == 1.0 || scale == 2.0;
            EXPECT_GT(psnr(view, reference, &mask), aligned ? 45.0 : 27.0);
        }
    }
}

// A layer comes from its HD copy once it is shown larger than its 800 x 600 pixels, and the view
// does not jump there: the HD copy at half its size is its 800 x 600 reduction. Below the
// threshold the HD copy is left alone (it would alias).
TEST_F(SharpViewTest, HdCopiesTakeOverAboveOneDevicePixelWithoutAJump)
{
    KeyframeLayer sd[3], hd[3];
    for (int d = 0; d < 3; ++d) {
        hd[d].number = sd[d].number = 30 + d;
        hd[d].full = syntheticHd(30 + d);
        hd[d].pixelsPerKeyframePixel = 2.0;
        sd[d].full = hd[d].full.scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        sd[d].reduced = {sd[d].full.scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                         sd[d].full.scaled(200, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)};
    }
    const KeyframeLayer *const layers[3] = {&sd[0], &sd[1], &sd[2]};
    // The view with the HD copies of the layers deeper than `hdUpTo` withheld.
    const auto view = [&](int ratio, double scale, int hdUpTo) {
        QImage target(800 * ratio, 600 * ratio, QImage::Format_RGB32);
        target.fill(Qt::magenta);
        const KeyframeLayer *hdLayers[3] = {nullptr, nullptr, nullptr};
        for (int d = 0; d <= hdUpTo; ++d)
            hdLayers[d] = &hd[d];
        composeSharpView(target, layers, hdLayers, scale, 800);
        return target;
    };
    QImage all(1600, 1200, QImage::Format_RGB32);
    all.fill(Qt::white);
    // At ratio 1 the keyframe on display crosses the threshold at scale 1, at ratio 2 the middle one.
    for (int crossing : {0, 1}) {
        const int ratio = 1 << crossing;
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        const QImage below = view(ratio, 1.0 - 1e-9, 2), above = view(ratio, 1.0 + 1e-9, 2);
        EXPECT_EQ(below, view(ratio, 1.0 - 1e-9, crossing - 1));
        EXPECT_NE(above, view(ratio, 1.0 + 1e-9, crossing - 1));
        EXPECT_GT(psnr(below, above, &all), 45.0);
        // Further in the HD copy's own detail shows.
        EXPECT_LT(psnr(view(ratio, 1.5, 2), view(ratio, 1.5, -1), &all), 40.0);
    }
    EXPECT_EQ(view(1, 0.75, 2), view(1, 0.75, -1));
    EXPECT_EQ(sharpHdDepth(0.5), -1);
    EXPECT_EQ(sharpHdDepth(1.0), 0);
    EXPECT_EQ(sharpHdDepth(1.8), 1);
    EXPECT_EQ(sharpHdDepth(3.6), 2);
}

// Zooming in through keyframe swaps: the frame right after a swap (keyframe k + 1 at scale s)
// looks like keyframe k composed at scale 2 s, the same view before the swap; and every keyframe,
// HD copies included, came from the loader thread. Without an HD set the view is drawn from the
// 800 x 600 keyframes; an undecodable HD keyframe leaves its 800 x 600 one in its place.
TEST_F(SharpViewTest, SwapsDoNotJumpAndTheGuiThreadNeverDecodes)
{
    for (bool withHd : {false, true})
        for (int ratio : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "ratio " << ratio << (withHd ? ", HD copies" : ""));
            // Shared with the source, which a decode still running may hold after the test.
            struct Recorder
            {
                std::mutex mutex;
                std::vector<KeyframeRequest> requests;
            };
            const auto recorder = std::make_shared<Recorder>();
            const int undecodable = 22;
            if (withHd)
                sharpLayers().setHdSource([recorder](int number, QImage &target) {
                    {
                        std::lock_guard lock(recorder->mutex);
                        recorder->requests.push_back({number, isLoaderThread()});
                    }
                    if (number == undecodable)
                        throw std::runtime_error("damaged");
                    target = syntheticHd(number);
                });
            host->devicePixelRatio = ratio;
            currentFrame = 20;
            ZoomState.scale = 1.6;
            LoadKeyframe('A', 20);
            ZoomState.activeBitmap = 'A';
            setSharpPresentation(true);
            renderSharpView(host->sharpCanvas(0), 800);   // tells the loader which layers need HD copies
            ASSERT_TRUE(QTest::qWaitFor([] { return sharpLayersReady(20) && sharpLayersReady(21); }, 10000));
            clearRequests();

            startZoomDirection(true);
            host->zgZoomIn.stop();
            struct Swap
            {
                int frame;
                double scale;
                QImage shown;
            };
            std::vector<Swap> swaps;
            while (currentFrame < 23) {
                ASSERT_TRUE(QTest::qWaitFor(
                    [] { return ZoomState.nextReady.load() && sharpLayersReady(currentFrame + 1); }, 10000));
                const int before = currentFrame;
                zoomInTick();
                if (currentFrame != before)
                    swaps.push_back({before, ZoomState.scale, host->sharpSurfaces[host->frontSurface]});
            }
            for (const KeyframeRequest &request : requests())
                EXPECT_TRUE(request.onLoaderThread)
                    << "keyframe " << request.number << " decoded on the GUI thread";
            setSharpPresentation(false);
            sharpLayers().setHdSource({});
            const std::vector<KeyframeRequest> hdRequests = [&] {
                std::lock_guard lock(recorder->mutex);
                return recorder->requests;
            }();
            EXPECT_EQ(hdRequests.empty(), !withHd);
            for (const KeyframeRequest &request : hdRequests)
                EXPECT_TRUE(request.onLoaderThread)
                    << "HD keyframe " << request.number << " decoded on the GUI thread";

            ASSERT_EQ(swaps.size(), 3u);
            for (const Swap &swap : swaps) {
                KeyframeLayer layers[3], hdLayers[3];
                for (int d = 0; d < 3; ++d) {
                    const int number = swap.frame + d;
                    layers[d] = decodeLayer(number);
                    if (withHd && number != undecodable) {
                        hdLayers[d].number = number;
                        hdLayers[d].full = syntheticHd(number);
                        hdLayers[d].pixelsPerKeyframePixel = 2.0;
                    }
                }
                const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};
                const KeyframeLayer *const hdPointers[3] = {&hdLayers[0], &hdLayers[1], &hdLayers[2]};
                QImage before(swap.shown.size(), QImage::Format_RGB32);
                composeSharpView(before, pointers, hdPointers, 2 * swap.scale, 800);
                QImage all(before.size(), QImage::Format_RGB32);
                all.fill(Qt::white);
                EXPECT_GT(psnr(before, swap.shown, &all), 45.0) << "swap from keyframe " << swap.frame;
            }
        }
}

// Each HD copy is four keyframes' worth of memory: the layers are kept ahead only in the zoom's
// direction, and the other end of the run only where "Ein" starts over from there.
TEST(SharpLayers, HdCopiesAreKeptAheadInTheZoomsDirectionOnly)
{
    const QString repeat = ZoomState.repeatMode;
    SharpLayers layers;
    layers.setHdSource([](int, QImage &target) { target = QImage(2, 2, QImage::Format_RGB32); });
    layers.setHdDepth(0);
    const auto wanted = [&](int number) { return !layers.hdSettled(number); };
    layers.keepAround(20, 1);
    EXPECT_TRUE(wanted(20) && wanted(21));
    EXPECT_FALSE(wanted(19));
    layers.keepAround(20, -1);
    EXPECT_TRUE(wanted(20) && wanted(19));
    EXPECT_FALSE(wanted(21));
    layers.keepAround(20, 0);
    EXPECT_TRUE(wanted(19) && wanted(20) && wanted(21));

    for (const char *mode : {"BIDI", "ON"}) {
        ZoomState.repeatMode = QString::fromLatin1(mode);
        layers.keepAround(ZoomState.lastFrame, 1);
        EXPECT_EQ(wanted(ZoomState.firstFrame), ZoomState.repeatMode == QLatin1String("ON")) << mode;
    }
    ZoomState.repeatMode = repeat;
}

// A data file damaged inside a keyframe's baseline copy: the layer comes from the embedded
// keyframe instead, rather than the sharp view holding at that keyframe.
TEST(SharpLayers, ADamagedBaselineCopyGivesWayToTheEmbeddedKeyframe)
{
    const QString file = QStringLiteral(TF_DAMAGED_BASELINE_FILE);
    ASSERT_TRUE(QResource::registerResource(file));
    ASSERT_TRUE(QResource(ResourceStream::path(5, ResourceStream::Kind::BaselineKeyframe)).isValid());
    KeyframeLayer layer;
    EXPECT_NO_THROW(layer = decodeLayer(5));
    QResource::unregisterResource(file);
    QImage embedded;
    decodeKeyframe(5, embedded);
    EXPECT_EQ(layer.full, embedded);
}
