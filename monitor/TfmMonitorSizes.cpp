// SPDX-License-Identifier: GPL-3.0-or-later
// The casing's layout in the three display sizes: the casing picture and the places of the
// buttons and of the read-out.
#include "PictureControl.h"
#include "TfmMonitor.h"

#include <QLabel>
#include <QPoint>

namespace {
struct CasingLayout
{
    int viewWidth;   // also the casing picture's id
    // In the order they are moved.
    QPoint zumAnfang, rueckwaerts, pause, vorwaerts, zumEnde;
    QPoint speed, info, save, www, repead, size, close;
    QPoint faktor, faktor2, faktor3;
};

// Each display size: its transport buttons, function buttons and read-out lines, kept in rows
// that match the casing.
// clang-format off
const CasingLayout layouts[] = {
    {440, {16, 382}, {65, 382}, {114, 382}, {163, 382}, {212, 382},
     {16, 414}, {65, 414}, {114, 414}, {163, 414}, {212, 414}, {454, 382}, {454, 414},
     {257, 383}, {257, 399}, {257, 415}},
    {640, {45, 532}, {104, 532}, {163, 532}, {222, 532}, {281, 532},
     {45, 564}, {104, 564}, {163, 564}, {222, 564}, {281, 564}, {574, 548}, {625, 548},
     {352, 533}, {352, 549}, {352, 565}},
    // One row: the function buttons first, then the transport buttons.
    {800, {294, 668}, {343, 668}, {392, 668}, {441, 668}, {490, 668},
     {31, 668}, {80, 668}, {129, 668}, {178, 668}, {227, 668}, {758, 668}, {799, 668},
     {548, 653}, {548, 669}, {548, 685}},
};
// clang-format on
}

void TfmMonitor::showDisplaySize(int viewWidth)
{
    showCasing(viewWidth);   // raises for an unknown size before anything has moved
    placeControls(viewWidth);
}

void TfmMonitor::placeControls(int viewWidth)
{
    const CasingLayout *layout = nullptr;
    for (const CasingLayout &candidate : layouts)
        if (candidate.viewWidth == viewWidth)
            layout = &candidate;
    if (!layout)
        return;

    const std::pair<QWidget *, QPoint> controls[] = {{bsZumAnfang, layout->zumAnfang},
                                                     {bsRueckwaerts, layout->rueckwaerts},
                                                     {bsPause, layout->pause},
                                                     {bsVorwaerts, layout->vorwaerts},
                                                     {bsZumEnde, layout->zumEnde},
                                                     {bsZumAnfangD, layout->zumAnfang},
                                                     {bsRueckwaertsD, layout->rueckwaerts},
                                                     {bsPauseD, layout->pause},
                                                     {bsVorwaertsD, layout->vorwaerts},
                                                     {bsZumEndeD, layout->zumEnde},
                                                     {bsSpeed, layout->speed},
                                                     {bsInfo, layout->info},
                                                     {bsSave, layout->save},
                                                     {bsWWW, layout->www},
                                                     {bsRepead, layout->repead},
                                                     {bsSize, layout->size},
                                                     {bsClose, layout->close}};
    for (const auto &[control, position] : controls)
        control->move(position);
    bfFaktor->move(layout->faktor);
    bfFaktor2->move(layout->faktor2);
    bfFaktor3->move(layout->faktor3);
}
