// SPDX-License-Identifier: GPL-3.0-or-later
// The three display sizes: every size and position, chosen from either menu, from every size,
// and what a switch leaves alone.
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomFixture.h"
#include "ZoomState.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>

namespace {

struct Layout
{
    const char *name;
    QAction *TfmZoom::*itemMenue;
    QAction *TfmZoom::*itemAnzeige;
    QSize view, casing;
    double viewRatio;
    QPoint panels;
    // zumAnfang, rueckwaerts, pause, vorwaerts, zumEnde, speed, info, save, www, repead, size,
    // close, faktor, faktor2, faktor3
    QPoint controls[15];
};

const Layout layouts[] = {
    {"klein",
     &TfmZoom::klein1,
     &TfmZoom::klein2,
     {440, 330},
     {504, 450},
     0.55,
     {0, -7},
     {{16, 382},
      {65, 382},
      {114, 382},
      {163, 382},
      {212, 382},
      {16, 414},
      {65, 414},
      {114, 414},
      {163, 414},
      {212, 414},
      {454, 382},
      {454, 414},
      {257, 383},
      {257, 399},
      {257, 415}}},
    {"mittel",
     &TfmZoom::mittel1,
     &TfmZoom::mittel2,
     {640, 480},
     {704, 600},
     0.8,
     {100, 68},
     {{45, 532},
      {104, 532},
      {163, 532},
      {222, 532},
      {281, 532},
      {45, 564},
      {104, 564},
      {163, 564},
      {222, 564},
      {281, 564},
      {574, 548},
      {625, 548},
      {352, 533},
      {352, 549},
      {352, 565}}},
    {"gross",
     &TfmZoom::gross1,
     &TfmZoom::gross2,
     {800, 600},
     {864, 720},
     1.0,
     {180, 128},
     {{294, 668},
      {343, 668},
      {392, 668},
      {441, 668},
      {490, 668},
      {31, 668},
      {80, 668},
      {129, 668},
      {178, 668},
      {227, 668},
      {758, 668},
      {799, 668},
      {548, 653},
      {548, 669},
      {548, 685}}},
};

std::vector<std::pair<QWidget *, QPoint>> monitorControls(const Layout &l)
{
    TfmMonitor &m = *fmMonitor;
    const auto &c = l.controls;
    return {{m.bsZumAnfang, c[0]}, {m.bsZumAnfangD, c[0]}, {m.bsRueckwaerts, c[1]}, {m.bsRueckwaertsD, c[1]},
            {m.bsPause, c[2]},     {m.bsPauseD, c[2]},     {m.bsVorwaerts, c[3]},   {m.bsVorwaertsD, c[3]},
            {m.bsZumEnde, c[4]},   {m.bsZumEndeD, c[4]},   {m.bsSpeed, c[5]},       {m.bsInfo, c[6]},
            {m.bsSave, c[7]},      {m.bsWWW, c[8]},        {m.bsRepead, c[9]},      {m.bsSize, c[10]},
            {m.bsClose, c[11]},    {m.bfFaktor, c[12]},    {m.bfFaktor2, c[13]},    {m.bfFaktor3, c[14]}};
}

// Everything a size fixes, apart from where the windows stand.
void expectLayout(const Layout &l)
{
    SCOPED_TRACE(l.name);
    for (const Layout &other : layouts) {
        const bool chosen = &other == &l;
        EXPECT_EQ((fmZoom->*other.itemMenue)->isChecked(), chosen) << other.name;
        EXPECT_EQ((fmZoom->*other.itemAnzeige)->isChecked(), chosen) << other.name;
    }
    EXPECT_EQ(QSize(ZoomState.viewWidth, ZoomState.viewHeight), l.view);
    EXPECT_EQ(ZoomState.viewRatio, l.viewRatio);
    EXPECT_EQ(fmZoom->size(), l.view);
    EXPECT_EQ(fmMonitor->size(), l.casing);
    EXPECT_EQ(fmMonitor->imgMonitor->geometry(), QRect(QPoint(0, 0), l.casing));
    EXPECT_EQ(fmMonitor->imgMonitor->picture().size(), l.casing);
    EXPECT_EQ(fmZoom->pos() - fmMonitor->pos(), QPoint(32, 24));
    for (const auto &[control, place] : monitorControls(l))
        EXPECT_EQ(control->pos(), place) << control->objectName().toStdString();
    EXPECT_EQ(fmZoom->shBackground->geometry(), QRect(QPoint(0, 0), l.view));
    EXPECT_EQ(fmZoom->gbSpeed->geometry(), QRect(l.panels, QSize(440, 337)));
    EXPECT_EQ(fmZoom->gbInfo->geometry(), QRect(l.panels, QSize(440, 337)));
    // At scale 1 the view shows the keyframe's centre pixel for pixel.
    EXPECT_EQ(ZoomTest::shownView().size(), l.view);
}

}   // namespace

class DisplaySizeTest : public ZoomTest
{
protected:
    void switchEveryWay(bool contextMenu)
    {
        for (const Layout &from : layouts) {
            for (const Layout &to : layouts) {
                SCOPED_TRACE(std::string(from.name) + " -> " + to.name);
                (fmZoom->*from.itemAnzeige)->trigger();
                ASSERT_EQ(ZoomState.viewWidth, from.view.width());
                if (contextMenu)
                    chooseSizeFromContextMenu(fmZoom->*to.itemMenue);
                else
                    chooseSizeFromSizeMenu(fmZoom->*to.itemAnzeige);
                expectLayout(to);
                if (to.view.width() != 440) {
                    EXPECT_EQ(fmMonitor->pos(), QPoint(0, 0));
                    EXPECT_EQ(fmZoom->pos(), QPoint(32, 24));
                }
                EXPECT_EQ(shownView(), activeKeyframeCentre());
            }
        }
    }
};

TEST_F(DisplaySizeTest, EverySizeFromEverySizeThroughTheContextMenu)
{
    switchEveryWay(true);
}

TEST_F(DisplaySizeTest, EverySizeFromEverySizeThroughTheSizeMenu)
{
    // The monitor's size button opens the size menu.
    clickOnMonitor(fmMonitor->bsSize);
    ASSERT_TRUE(QTest::qWaitFor([] { return fmZoom->pmAnzeige->isVisible(); }));
    fmZoom->pmAnzeige->close();
    switchEveryWay(false);
}

TEST_F(DisplaySizeTest, KleinKeepsDraggedWindowsWhereTheyAreTheLargerSizesGoToTheCorner)
{
    dragZoomWindow({300, 200}, {150, 90});
    const QPoint dragged(32 + 150, 24 + 90);
    ASSERT_EQ(fmZoom->pos(), dragged);
    ASSERT_EQ(fmMonitor->pos(), dragged - QPoint(32, 24));

    chooseSizeFromContextMenu(fmZoom->klein1);
    EXPECT_EQ(fmZoom->pos(), dragged);
    EXPECT_EQ(fmMonitor->pos(), dragged - QPoint(32, 24));
    chooseSizeFromSizeMenu(fmZoom->klein2);   // the same size again: still where they are
    EXPECT_EQ(fmZoom->pos(), dragged);

    chooseSizeFromSizeMenu(fmZoom->gross2);
    EXPECT_EQ(fmMonitor->pos(), QPoint(0, 0));
    EXPECT_EQ(fmZoom->pos(), QPoint(32, 24));

    dragZoomWindow({100, 100}, {-20, 40});
    ASSERT_EQ(fmZoom->pos(), QPoint(12, 64));
    chooseSizeFromContextMenu(fmZoom->gross1);   // the same size again goes back to the corner
    EXPECT_EQ(fmMonitor->pos(), QPoint(0, 0));
    EXPECT_EQ(fmZoom->pos(), QPoint(32, 24));
}

TEST_F(DisplaySizeTest, PausedPictureScaleAndReadOutStayTheSame)
{
    // Paused right after forward: keyframe 2 at scale 1, shown pixel for pixel in every size.
    clickOnMonitor(fmMonitor->bsVorwaerts);
    clickOnMonitor(fmMonitor->bsPause);
    ASSERT_FALSE(isRunning());
    ASSERT_EQ(currentFrame, 2);
    const QImage keyframe = keyframeBitmap(ZoomState.activeBitmap.load()).copy();
    for (QAction *item : {fmZoom->klein1, fmZoom->gross1, fmZoom->mittel1}) {
        chooseSizeFromContextMenu(item);
        EXPECT_EQ(shownView(), activeKeyframeCentre()) << item->objectName().toStdString();
        EXPECT_EQ(keyframeBitmap(ZoomState.activeBitmap.load()), keyframe);
    }

    // Paused between two keyframes at a scale above 1.
    clickOnMonitor(fmMonitor->bsVorwaerts);
    for (int tick = 0; tick < 25; ++tick)
        fmZoom->zgZoomInTimer();
    clickOnMonitor(fmMonitor->bsPause);
    const int frame = currentFrame;
    const double scale = ZoomState.scale;
    const long double totalZoom = ZoomState.totalZoom;
    const QString digits = fmMonitor->bfFaktor2->text();
    ASSERT_GT(scale, 1.0);
    for (QAction *item : {fmZoom->gross2, fmZoom->klein2, fmZoom->mittel2}) {
        chooseSizeFromSizeMenu(item);
        EXPECT_EQ(currentFrame, frame);
        EXPECT_EQ(ZoomState.scale, scale);
        EXPECT_EQ(ZoomState.totalZoom, totalZoom);
        EXPECT_EQ(fmMonitor->bfFaktor2->text(), digits);
        EXPECT_FALSE(isRunning());
        EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
        // The surface on top holds what the view shows: the switch drew the picture anew.
        EXPECT_EQ(shownView(),
                  fmZoom->surfaceCanvas(ZoomState.frontImage)
                      .copy(0, 0, ZoomState.viewWidth, ZoomState.viewHeight));
    }
}

TEST_F(DisplaySizeTest, RunningZoomGoesOnThroughASwitch)
{
    clickOnMonitor(fmMonitor->bsVorwaerts);
    ASSERT_TRUE(fmZoom->zgZoomIn->isActive());
    const int interval = fmZoom->zgZoomIn->interval();
    for (QAction *item : {fmZoom->gross1, fmZoom->klein1, fmZoom->mittel1}) {
        const double scaleBefore = ZoomState.scale;
        const int frameBefore = currentFrame;
        chooseSizeFromContextMenu(item);
        EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
        EXPECT_EQ(fmZoom->zgZoomIn->interval(), interval);
        EXPECT_TRUE(isRunning());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return ZoomState.scale != scaleBefore || currentFrame != frameBefore; }, 3000))
            << "the zoom did not go on after " << item->objectName().toStdString();
    }
}

TEST_F(DisplaySizeTest, OpenPanelStaysOpenOnBlackAtItsNewPlace)
{
    clickOnMonitor(fmMonitor->bsSpeed);
    ASSERT_TRUE(fmZoom->gbSpeed->isVisible());
    chooseSizeFromContextMenu(fmZoom->gross1);
    EXPECT_TRUE(fmZoom->gbSpeed->isVisible());
    EXPECT_TRUE(fmZoom->shBackground->isVisible());
    EXPECT_EQ(fmZoom->gbSpeed->pos(), QPoint(180, 128));
    QImage view = shownView();
    for (QPoint corner : {QPoint(2, 2), QPoint(797, 2), QPoint(2, 597), QPoint(797, 597), QPoint(170, 300)})
        EXPECT_EQ(view.pixel(corner), qRgb(0, 0, 0));
    // The panel's push button is drawn where the panel now stands.
    const QPoint button = fmZoom->bsOK->mapTo(fmZoom, fmZoom->bsOK->rect().center());
    EXPECT_EQ(button, QPoint(180 + 336 + 43, 128 + 252 + 12));
    int lit = 0;
    for (int y = button.y() - 10; y < button.y() + 10; ++y)
        for (int x = button.x() - 40; x < button.x() + 40; ++x)
            lit += qGray(view.pixel(x, y)) > 64;
    EXPECT_GT(lit, 200);

    clickOnMonitor(fmMonitor->bsInfo);
    chooseSizeFromSizeMenu(fmZoom->klein2);
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
    EXPECT_FALSE(fmZoom->gbSpeed->isVisible());
    EXPECT_EQ(fmZoom->gbInfo->pos(), QPoint(0, -7));
    EXPECT_EQ(fmZoom->shBackground->geometry(), QRect(0, 0, 440, 330));
    // In "klein" the panel fills the view exactly.
    EXPECT_EQ(fmZoom->gbInfo->geometry().intersected(fmZoom->rect()), fmZoom->rect());
}
