// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmMonitor.h"
#include "PictureControl.h"
#include "ProgramExit.h"
#include "ResourceStream.h"
#include "SaveDialog.h"
#include "SavedKeyframes.h"
#include "ZoomPanels.h"
#include "ZoomState.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QLabel>
#include <QTimer>

TfmMonitor *fmMonitor = nullptr;
QImage *casingBitmap = nullptr;

void monitorUnitStart()
{
    if (!casingBitmap)
        casingBitmap = new QImage;   // lives until the process ends
}

namespace {
constexpr int buttonHeight = 22;
constexpr int transportWidth = 42;
constexpr int smallButtonWidth = 34;
const QRgb keyColour = qRgb(0, 255, 0);   // casing pixels of this colour are see-through
}

TfmMonitor::TfmMonitor(QWidget *parent)
try : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    fmMonitor = this;
    setObjectName(QStringLiteral("fmMonitor"));
    setWindowTitle(QStringLiteral("Tiefenflug"));
    move(0, 0);

    // Built bottom-most first: later controls lie above earlier ones.
    imgMonitor = makePicture(QStringLiteral("imgMonitor"), 0, 0, 704, 600);
    imgMonitor->setCursor(Qt::ArrowCursor);
    bfFaktor = makeLabel(QStringLiteral("bfFaktor"), QStringLiteral("Zoomfaktor:"));
    bfFaktor2 = makeLabel(QStringLiteral("bfFaktor2"), QString());
    bsSpeed = makeButton(QStringLiteral("bsSpeed"), transportWidth);
    bsInfo = makeButton(QStringLiteral("bsInfo"), transportWidth);
    bsWWW = makeButton(QStringLiteral("bsWWW"), transportWidth);
    bsClose = makeButton(QStringLiteral("bsClose"), smallButtonWidth);
    bsRepead = makeButton(QStringLiteral("bsRepead"), transportWidth);
    bsSave = makeButton(QStringLiteral("bsSave"), transportWidth);
    bsSize = makeButton(QStringLiteral("bsSize"), smallButtonWidth);
    bsZumAnfang = makeButton(QStringLiteral("bsZumAnfang"), transportWidth);
    bsRueckwaerts = makeButton(QStringLiteral("bsRueckwaerts"), transportWidth);
    bsVorwaerts = makeButton(QStringLiteral("bsVorwaerts"), transportWidth);
    bsZumEnde = makeButton(QStringLiteral("bsZumEnde"), transportWidth);
    bsPause = makeButton(QStringLiteral("bsPause"), transportWidth);

    // The disabled looks lie above their buttons and take their clicks while shown.
    PictureControl **looks[] = {&bsZumAnfangD, &bsRueckwaertsD, &bsVorwaertsD, &bsZumEndeD, &bsPauseD};
    PictureControl *buttons[] = {bsZumAnfang, bsRueckwaerts, bsVorwaerts, bsZumEnde, bsPause};
    for (int i = 0; i < 5; ++i) {
        PictureControl *button = buttons[i];
        PictureControl *look = makeButton(button->objectName() + QLatin1Char('D'), transportWidth);
        look->hide();
        *looks[i] = look;
        m_disabledLooks.insert(button, look);
    }
    bfFaktor3 = makeLabel(QStringLiteral("bfFaktor3"), QString());
    placeControls(640);   // the window is built for "mittel"; showCasing gives the size's picture

    connectHandlers();
    showCasing(ZoomState.viewWidth);
    transport().setLooks(this);
} catch (...) {
    // A window that failed to build must not be reachable; the error goes on to the caller.
    fmMonitor = nullptr;
}

TfmMonitor::~TfmMonitor()
{
    transport().setLooks(nullptr);
    if (fmMonitor == this)
        fmMonitor = nullptr;
}

void TfmMonitor::setZoomPanels(ZoomPanels *panels)
{
    m_zoomPanels = panels;
}

PictureControl *TfmMonitor::makePicture(const QString &name, int left, int top, int width, int height)
{
    auto *picture = new PictureControl(this);
    picture->setObjectName(name);
    picture->setGeometry(left, top, width, height);
    return picture;
}

PictureControl *TfmMonitor::makeButton(const QString &name, int width)
{
    PictureControl *button = makePicture(name, 0, 0, width, buttonHeight);
    button->setPicture(loadButtonImage(name));
    return button;
}

QLabel *TfmMonitor::makeLabel(const QString &name, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->resize(181, 17);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 200, 0));
    label->setPalette(palette);
    // No background of its own (the casing's read-out frame shows through), and clicks go to
    // the casing beneath, so a right click there opens the context menu as anywhere else.
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void TfmMonitor::connectHandlers()
{
    connect(bsZumAnfang, &PictureControl::clicked, this, &TfmMonitor::bsZumAnfangClick);
    connect(bsRueckwaerts, &PictureControl::clicked, this, &TfmMonitor::bsRueckwaertsClick);
    connect(bsPause, &PictureControl::clicked, this, &TfmMonitor::bsPauseClick);
    connect(bsVorwaerts, &PictureControl::clicked, this, &TfmMonitor::bsVorwaertsClick);
    connect(bsZumEnde, &PictureControl::clicked, this, &TfmMonitor::bsZumEndeClick);
    connect(bsSpeed, &PictureControl::clicked, this, &TfmMonitor::bsSpeedClick);
    connect(bsInfo, &PictureControl::clicked, this, &TfmMonitor::bsInfoClick);
    connect(bsSave, &PictureControl::clicked, this, &TfmMonitor::bsSaveClick);
    connect(bsWWW, &PictureControl::clicked, this, &TfmMonitor::bsWWWClick);
    connect(bsRepead, &PictureControl::clicked, this, &TfmMonitor::bsRepeadClick);
    connect(bsSize, &PictureControl::clicked, this, &TfmMonitor::bsSizeClick);
    connect(bsClose, &PictureControl::clicked, this, &TfmMonitor::bsCloseClick);
}

SaveDialog *TfmMonitor::saveDialog()
{
    // Built on first use: a file dialog takes longer to build than everything else the player
    // shows at start.
    if (!sdSave) {
        sdSave = new SaveDialog(this);
        sdSave->onCanClose = [this](bool &canClose) { sdSaveCanClose(canClose); };
    }
    return sdSave;
}

void TfmMonitor::showCasing(int id)
{
    monitorUnitStart();
    // Loaded first: a missing picture raises before anything has changed.
    const QImage casing = loadBitmapResource(id).convertToFormat(QImage::Format_RGB32);
    *casingBitmap = casing;
    imgMonitor->setPicture(*casingBitmap);
    imgMonitor->resize(casingBitmap->size());
    setFixedSize(casingBitmap->size());
    // Key-coloured pixels are neither drawn nor hit: the rounded corners.
    setMask(QBitmap::fromImage(casingBitmap->createMaskFromColor(keyColour, Qt::MaskInColor)));
}

void TfmMonitor::setPairLook(PictureControl *button, bool normal)
{
    button->setEnabled(normal);
    if (PictureControl *look = m_disabledLooks.value(button))
        look->setVisible(!normal);
}

void TfmMonitor::showPlaybackLooks(PlaybackLooks looks)
{
    // Each state sets the pairs in the order the casing always has.
    switch (looks) {
    case PlaybackLooks::Launch:
        // Right after launch the to-end pair looks disabled although its button is enabled.
        bsZumEndeD->show();
        bsZumEndeD->raise();
        break;
    case PlaybackLooks::AtStart:
    case PlaybackLooks::AtEnd: {
        const bool atEnd = looks == PlaybackLooks::AtEnd;
        setPairLook(bsZumAnfang, atEnd);
        setPairLook(bsRueckwaerts, atEnd);
        setPairLook(bsPause, false);
        setPairLook(bsVorwaerts, !atEnd);
        setPairLook(bsZumEnde, !atEnd);
        break;
    }
    case PlaybackLooks::ZoomingIn:
    case PlaybackLooks::ZoomingOut: {
        const bool zoomIn = looks == PlaybackLooks::ZoomingIn;
        setPairLook(bsPause, true);
        setPairLook(zoomIn ? bsVorwaerts : bsRueckwaerts, false);
        setPairLook(bsZumAnfang, false);
        setPairLook(bsZumEnde, false);
        setPairLook(zoomIn ? bsRueckwaerts : bsVorwaerts, false);
        break;
    }
    case PlaybackLooks::Paused:
        setPairLook(bsVorwaerts, true);
        setPairLook(bsRueckwaerts, true);
        setPairLook(bsZumAnfang, true);
        setPairLook(bsZumEnde, true);
        setPairLook(bsPause, false);
        break;
    }
}

bool TfmMonitor::pauseEnabled() const
{
    return bsPause->isEnabled();
}

void TfmMonitor::showZoomFactor(const QString &digits, const QString &words)
{
    bfFaktor2->setText(digits);
    bfFaktor3->setText(words);
}

void TfmMonitor::raiseZoomWindow()
{
    QWidget *zoom = m_zoomPanels ? m_zoomPanels->zoomWindow() : nullptr;
    if (zoom && zoom->isVisible())
        m_zoomPanels->raiseAboveCasing();
}

void TfmMonitor::FormShow()
{
    if (!m_zoomPanels)
        return;
    m_zoomPanels->zoomWindow()->show();
    raiseZoomWindow();
    // The monitor window itself is mapped only after its show event: raise the zoom window
    // again once that has happened, or it would end up below the casing.
    QTimer::singleShot(0, this, [this] { raiseZoomWindow(); });
}

void TfmMonitor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

bool TfmMonitor::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        raiseZoomWindow();
    return QWidget::event(event);
}

void TfmMonitor::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_zoomPanels)
        m_zoomPanels->popUpContextMenu(event->globalPos());
}

void TfmMonitor::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, the same way as the close button.
    event->accept();
    exitProgram();
}

// The transport buttons reach playback through the transport, as the keys and menus do.
void TfmMonitor::bsZumAnfangClick()
{
    transport().toStart();
}

void TfmMonitor::bsZumEndeClick()
{
    transport().toEnd();
}

void TfmMonitor::bsVorwaertsClick()
{
    transport().forward();
}

void TfmMonitor::bsRueckwaertsClick()
{
    transport().backward();
}

void TfmMonitor::bsPauseClick()
{
    transport().pause();
}

void TfmMonitor::bsCloseClick()
{
    exitProgram();
}

void TfmMonitor::bsSizeClick()
{
    if (m_zoomPanels)
        m_zoomPanels->popUpSizeMenu(QCursor::pos());
}

void TfmMonitor::bsRepeadClick()
{
    if (m_zoomPanels)
        m_zoomPanels->popUpRepeatMenu(QCursor::pos());
}

void TfmMonitor::bsWWWClick()
{
    if (m_zoomPanels)
        m_zoomPanels->openWebPage();
}

void TfmMonitor::bsSpeedClick()
{
    if (m_zoomPanels)
        m_zoomPanels->openSpeedPanel();
}

void TfmMonitor::bsInfoClick()
{
    if (m_zoomPanels)
        m_zoomPanels->openInfoPanel();
}

void TfmMonitor::bsSaveClick()
{
    // Whether the user confirmed is of no interest here: the work is done on confirmation.
    saveDialog()->exec();
}

void TfmMonitor::sdSaveCanClose(bool &canClose)
{
    (void)canClose;   // left as it is: the dialog closes once the files are written
    saveKeyframes(sdSave->enteredPath());
}
