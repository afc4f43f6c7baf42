// The three display sizes "klein", "mittel" and "groß": view, casing and window sizes and the
// positions of the casing's controls and of the zoom window's panels.
#include "TfmZoom.h"
#include "FrameRenderer.h"
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "ZoomState.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>

struct TfmZoom::DisplaySize
{
    QAction *TfmZoom::*itemMenue;    // the size's item in pmMenue's "Anzeige"
    QAction *TfmZoom::*itemAnzeige;  // and in pmAnzeige
    int viewWidth, viewHeight;       // viewWidth is also the casing picture's id
    bool placeAtScreenCorner;        // "klein" keeps both windows where they are
    QPoint panels;                   // gbSpeed and gbInfo
    // The monitor window's controls, in the order they are moved.
    QPoint zumAnfang, rueckwaerts, pause, vorwaerts, zumEnde;
    QPoint speed, info, save, www, repead, size, close;
    QPoint faktor, faktor2, faktor3;
};

void TfmZoom::klein1Click()
{
    static const DisplaySize klein = {
        &TfmZoom::klein1, &TfmZoom::klein2, 440, 330, false, {0, -7},
        {16, 382}, {65, 382}, {114, 382}, {163, 382}, {212, 382},
        {16, 414}, {65, 414}, {114, 414}, {163, 414}, {212, 414}, {454, 382}, {454, 414},
        {257, 383}, {257, 399}, {257, 415}};
    applyDisplaySize(klein);
}

void TfmZoom::mittel1Click()
{
    static const DisplaySize mittel = {
        &TfmZoom::mittel1, &TfmZoom::mittel2, 640, 480, true, {100, 68},
        {45, 532}, {104, 532}, {163, 532}, {222, 532}, {281, 532},
        {45, 564}, {104, 564}, {163, 564}, {222, 564}, {281, 564}, {574, 548}, {625, 548},
        {352, 533}, {352, 549}, {352, 565}};
    applyDisplaySize(mittel);
}

void TfmZoom::gross1Click()
{
    // One row: the function buttons first, then the transport buttons.
    static const DisplaySize gross = {
        &TfmZoom::gross1, &TfmZoom::gross2, 800, 600, true, {180, 128},
        {294, 668}, {343, 668}, {392, 668}, {441, 668}, {490, 668},
        {31, 668}, {80, 668}, {129, 668}, {178, 668}, {227, 668}, {758, 668}, {799, 668},
        {548, 653}, {548, 669}, {548, 685}};
    applyDisplaySize(gross);
}

// Re-lays out both windows and draws the current picture anew; the zoom itself (timers,
// keyframes, scale) is left alone.
void TfmZoom::applyDisplaySize(const DisplaySize &size)
{
    (this->*size.itemMenue)->setChecked(true);
    (this->*size.itemAnzeige)->setChecked(true);

    ZoomState.viewWidth = size.viewWidth;
    ZoomState.viewHeight = size.viewHeight;

    fmMonitor->showCasing(ZoomState.viewWidth);
    setFixedSize(ZoomState.viewWidth, ZoomState.viewHeight);
    ZoomState.viewRatio = double(ZoomState.viewWidth) / ZoomState.frameWidth;

    TfmMonitor &m = *fmMonitor;
    const std::pair<QWidget *, QPoint> controls[] = {
        {m.bsZumAnfang, size.zumAnfang}, {m.bsRueckwaerts, size.rueckwaerts},
        {m.bsPause, size.pause}, {m.bsVorwaerts, size.vorwaerts}, {m.bsZumEnde, size.zumEnde},
        {m.bsZumAnfangD, size.zumAnfang}, {m.bsRueckwaertsD, size.rueckwaerts},
        {m.bsPauseD, size.pause}, {m.bsVorwaertsD, size.vorwaerts}, {m.bsZumEndeD, size.zumEnde},
        {m.bsSpeed, size.speed}, {m.bsInfo, size.info}, {m.bsSave, size.save},
        {m.bsWWW, size.www}, {m.bsRepead, size.repead}, {m.bsSize, size.size},
        {m.bsClose, size.close}};
    for (const auto &[control, position] : controls)
        control->move(position);

    if (size.placeAtScreenCorner) {
        fmMonitor->move(0, 0);
        move(monitorOffsetX, monitorOffsetY);
    }

    shBackground->setGeometry(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
    gbSpeed->move(size.panels);
    gbInfo->move(size.panels);

    m.bfFaktor->move(size.faktor);
    m.bfFaktor2->move(size.faktor2);
    m.bfFaktor3->move(size.faktor3);

    RenderFrame();
}
