// SPDX-License-Identifier: GPL-3.0-or-later
#include "InProcessPlayer.h"
#include "PictureControl.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

void ensurePlayerWindows()
{
    if (fmMonitor)
        return;
    runUnitStartSteps();
    createPlayerWindows();
}

void clickOnMonitor(QWidget *control)
{
    const QPoint at = control->mapTo(fmMonitor, control->rect().center());
    QTest::mouseClick(fmMonitor->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

void returnToStart()
{
    if (fmMonitor->bsPause->isEnabled())
        clickOnMonitor(fmMonitor->bsPause);
    if (fmMonitor->bsZumAnfang->isEnabled())
        clickOnMonitor(fmMonitor->bsZumAnfang);
}

void applySpeedSettings(int zoomSpeedPosition, int frameRateIndex)
{
    clickOnMonitor(fmMonitor->bsSpeed);
    fmZoom->sbZoom->setValue(zoomSpeedPosition);
    fmZoom->cbFramerate->setCurrentIndex(frameRateIndex);
    QTest::mouseClick(fmZoom->bsOK, Qt::LeftButton);
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
