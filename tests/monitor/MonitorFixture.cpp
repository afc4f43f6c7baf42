// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonitorFixture.h"
#include "JpegImage.h"
#include "KeyframeStore.h"
#include "PictureControl.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <ostream>

bool ensurePlayerWindows()
{
    if (fmMonitor)
        return false;
    runUnitStartSteps();
    createPlayerWindows();
    return true;
}

static QPoint centreInMonitor(QWidget *control)
{
    return control->mapTo(fmMonitor, control->rect().center());
}

void clickOn(QWidget *control)
{
    QTest::mouseClick(fmMonitor->windowHandle(), Qt::LeftButton, Qt::NoModifier, centreInMonitor(control));
}

QWidget *controlHitAt(QWidget *control)
{
    return fmMonitor->childAt(centreInMonitor(control));
}

std::string pairLooks()
{
    std::string looks;
    for (PictureControl *button : {fmMonitor->bsZumAnfang, fmMonitor->bsRueckwaerts, fmMonitor->bsPause,
                                   fmMonitor->bsVorwaerts, fmMonitor->bsZumEnde}) {
        const auto *image = fmMonitor->findChild<PictureControl *>(button->objectName() + QLatin1Char('D'));
        const bool shown = image && image->isVisible();
        if (button->isEnabled())
            looks += shown ? 'L' : 'N';
        else
            looks += shown ? 'D' : '?';
    }
    return looks;
}

QImage shownView()
{
    const QRect view(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
    return fmZoom->grab(view).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage keyframeView(int number)
{
    const QByteArray data = keyframeBytes(number);
    QImage keyframe;
    JpegImage().decodeInto(reinterpret_cast<const uchar *>(data.constData()), std::size_t(data.size()),
                           keyframe);
    const int width = ZoomState.viewWidth, height = ZoomState.viewHeight;
    return keyframe.copy((keyframe.width() - width) / 2, (keyframe.height() - height) / 2, width, height)
        .convertToFormat(QImage::Format_RGB32);
}

PlaybackSnapshot playbackSnapshot()
{
    return {pairLooks(),     fmZoom->zgZoomIn->isActive(), fmZoom->zgZoomOut->isActive(), currentFrame,
            ZoomState.scale, fmMonitor->bfFaktor2->text(), fmMonitor->bfFaktor3->text()};
}

void PrintTo(const PlaybackSnapshot &s, std::ostream *out)
{
    *out << "{looks " << s.looks << ", in " << s.zoomingIn << ", out " << s.zoomingOut << ", frame "
         << s.frame << ", scale " << s.scale << ", \"" << s.digits.toStdString() << "\" \""
         << s.words.toStdString() << "\"}";
}

static void closePopups()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

void MonitorTest::SetUp()
{
    ensurePlayerWindows();
    closePopups();
    if (fmMonitor->isMinimized())
        fmMonitor->showNormal();
    if (fmZoom->isMinimized())
        fmZoom->showNormal();
    ZoomState.repeatMode = QStringLiteral("OFF");
    ZoomState.frameRate = 30;
    ZoomState.stepFactor = 1.04;
    fmZoom->gbInfo->hide();
    fmZoom->shBackground->hide();
    fmZoom->gbSpeed->hide();
    GoToStart();
}

void MonitorTest::TearDown()
{
    fmZoom->zgZoomIn->stop();
    fmZoom->zgZoomOut->stop();
    fmZoom->setUrlOpener({});
    closePopups();
}

bool MonitorTest::waitForFrame(int frame, int timeoutMs)
{
    return QTest::qWaitFor([frame] { return currentFrame == frame; }, timeoutMs);
}
