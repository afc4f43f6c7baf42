// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom window itself: what its constructor leaves, the synchronous repaint, the stacking of
// surfaces, black background and panels, and dragging both windows together.
#include "FrameRenderer.h"
#include "MyTImage.h"
#include "MyThread.h"
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomFixture.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QGroupBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

namespace {

// Index of a child in its parent's stacking order (higher lies in front).
int stackingIndex(QWidget *child)
{
    return int(child->parentWidget()->children().indexOf(child));
}

// The paint events the display surfaces receive and the area they cover.
struct PaintRecorder : QObject
{
    int paints[2] = {};
    QRegion painted[2];

    void clear()
    {
        for (int i = 0; i < 2; ++i) {
            paints[i] = 0;
            painted[i] = QRegion();
        }
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            for (int i = 0; i < 2; ++i) {
                if (watched == fmZoom->surfaces[i]) {
                    ++paints[i];
                    painted[i] += static_cast<QPaintEvent *>(event)->region();
                }
            }
        }
        return false;
    }
};

}   // namespace

TEST_F(ZoomTest, ConstructorLeavesTheStartCardTheLoaderAndIdleTimers)
{
    EXPECT_EQ(fmZoom->geometry(), QRect(32, 24, 640, 480));
    EXPECT_EQ(fmZoom->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(fmZoom->font().pixelSize(), 11);
    EXPECT_NE(loaderThread, nullptr);
    for (MyTImage *surface : fmZoom->surfaces) {
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->parentWidget(), fmZoom);
        EXPECT_EQ(surface->geometry(), QRect(0, 0, 800, 600));
        EXPECT_TRUE(surface->isVisible());
    }
    EXPECT_EQ(fmZoom->surfaceCanvas(0).size(), QSize(800, 600));
    EXPECT_EQ(fmZoom->zgReserve->interval(), 10);
    EXPECT_FALSE(fmZoom->zgReserve->isActive());
    EXPECT_FALSE(fmZoom->gbSpeed->isVisible());
    EXPECT_FALSE(fmZoom->gbInfo->isVisible());
    EXPECT_FALSE(fmZoom->shBackground->isVisible());
    EXPECT_EQ(shownView(), activeKeyframeCentre());   // the start card
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));
}

TEST_F(ZoomTest, RenderFrameHasPaintedTheNewPictureWhenItReturns)
{
    PaintRecorder recorder;
    for (MyTImage *surface : fmZoom->surfaces)
        surface->installEventFilter(&recorder);
    const QRegion view(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
    for (double scale : {1.0, 1.3, 1.9}) {
        recorder.clear();
        ZoomState.scale = scale;
        RenderFrame();   // no event loop runs in between: only a repaint at once shows it
        const int front = ZoomState.frontImage;
        EXPECT_EQ(recorder.paints[front], 1) << "scale " << scale;
        EXPECT_TRUE((view - recorder.painted[front]).isEmpty()) << "scale " << scale;
    }
    for (MyTImage *surface : fmZoom->surfaces)
        surface->removeEventFilter(&recorder);
}

TEST_F(ZoomTest, PanelsStayInFrontOfTheBlackBackgroundAndTheSurfaces)
{
    clickOnMonitor(fmMonitor->bsSpeed);
    // However the black background is brought to the front, and whichever surface is drawn.
    fmZoom->shBackground->raise();
    GoToStart();
    fmZoom->bringSurfaceToFront(0);
    fmZoom->bringSurfaceToFront(1);
    for (QWidget *panel : {fmZoom->gbSpeed, fmZoom->gbInfo}) {
        EXPECT_GT(stackingIndex(panel), stackingIndex(fmZoom->shBackground));
        for (MyTImage *surface : fmZoom->surfaces)
            EXPECT_GT(stackingIndex(fmZoom->shBackground), stackingIndex(surface));
    }
    EXPECT_EQ(fmZoom->childAt(fmZoom->bsOK->mapTo(fmZoom, QPoint(5, 5))), fmZoom->bsOK);
    EXPECT_EQ(fmZoom->childAt(QPoint(5, 5)), fmZoom->shBackground);
}

TEST_F(ZoomTest, DraggingThePictureMovesBothWindowsTogether)
{
    // The monitor window follows during the drag, not only at its end.
    QWindow *window = fmZoom->windowHandle();
    const QPoint start = fmZoom->mapToGlobal(QPoint(320, 240));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(320, 240));
    QTest::mouseMove(window, fmZoom->mapFromGlobal(start + QPoint(40, 30)));
    EXPECT_EQ(fmZoom->pos(), QPoint(72, 54));
    EXPECT_EQ(fmMonitor->pos(), QPoint(40, 30));
    QTest::mouseMove(window, fmZoom->mapFromGlobal(start + QPoint(200, 100)));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier,
                        fmZoom->mapFromGlobal(start + QPoint(200, 100)));
    EXPECT_EQ(fmZoom->pos(), QPoint(232, 124));
    EXPECT_EQ(fmMonitor->pos(), QPoint(200, 100));

    // After the release the pointer moves without the windows.
    QTest::mouseMove(window, QPoint(10, 10));
    EXPECT_EQ(fmZoom->pos(), QPoint(232, 124));

    // The black background around a shown panel drags as well, back and up-left.
    clickOnMonitor(fmMonitor->bsInfo);
    dragZoomWindow({10, 10}, {-250, -110});
    EXPECT_EQ(fmZoom->pos(), QPoint(-18, 14));
    EXPECT_EQ(fmMonitor->pos(), QPoint(-50, -10));
}

TEST_F(ZoomTest, PressesOnAPanelDoNotDrag)
{
    clickOnMonitor(fmMonitor->bsSpeed);
    const QPoint onPanel = fmZoom->gbSpeed->mapTo(fmZoom, QPoint(300, 140));   // an empty spot
    ASSERT_EQ(fmZoom->childAt(onPanel), fmZoom->gbSpeed);
    dragZoomWindow(onPanel, {80, 60});
    const QPoint onLabel = fmZoom->bfLabel2->mapTo(fmZoom, QPoint(20, 10));
    dragZoomWindow(onLabel, {80, 60});
    const QPoint onScrollBar = fmZoom->sbZoom->mapTo(fmZoom, QPoint(200, 9));
    dragZoomWindow(onScrollBar, {80, 0});
    EXPECT_EQ(fmZoom->pos(), QPoint(32, 24));
    EXPECT_EQ(fmMonitor->pos(), QPoint(0, 0));
}

TEST_F(ZoomTest, AnyNewPlaceOfTheZoomWindowBringsTheMonitorWindowAlong)
{
    fmZoom->move(500, 300);
    EXPECT_EQ(fmMonitor->pos(), QPoint(468, 276));
    fmZoom->setGeometry(QRect(100, 90, 640, 480));
    EXPECT_EQ(fmMonitor->pos(), QPoint(68, 66));
}

// The info text is sixteen lines without wrapping or scroll bars: a line wider than the memo
// would be cut off unseen.
TEST_F(ZoomTest, InfoTextHasSixteenLinesThatEachFitThePanel)
{
    const QStringList lines = fmZoom->mmInfo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 16);
    const QFontMetrics metrics(fmZoom->mmInfo->font());
    const int room =
        fmZoom->mmInfo->viewport()->width() - 2 * int(fmZoom->mmInfo->document()->documentMargin());
    for (const QString &line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
    EXPECT_TRUE(lines[0].isEmpty() && lines[1].isEmpty() && lines[4].isEmpty() && lines[14].isEmpty());
}
