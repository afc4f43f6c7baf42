// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom window's two panels over the black background: the speed settings and the info text.
#include "FrameRateList.h"
#include "PanelStyle.h"
#include "TfmZoom.h"
#include "Transport.h"
#include "Version.h"
#include "ZoomState.h"
#include "ZoomTimeline.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>
#include <cmath>

namespace {

QFont arial(int pixelSize, bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

// A transparent label with its text on the panel's black. It grows to its text where the font
// draws it wider than its place, so no line is ever cut or wrapped out of sight.
QLabel *makeLabel(QWidget *panel, const char *name, const QString &text, const QRect &place,
                  const QFont &font)
{
    auto *label = new QLabel(text, panel);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(label, Qt::white);
    label->setGeometry(place);
    label->resize(label->size().expandedTo(label->sizeHint()));
    return label;
}

QGroupBox *makePanel(QWidget *window, const char *name)
{
    auto *panel = new QGroupBox(window);
    panel->setObjectName(QLatin1String(name));
    panel->setStyleSheet(panelStyleSheet());
    panel->setFont(arial(13));
    panel->setGeometry(100, 68, 440, 337);
    panel->setCursor(Qt::ArrowCursor);   // a panel does not drag the window
    panel->hide();
    return panel;
}

// The black, borderless, read-only text blocks of the info panel.
void makeBlack(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::Base, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Escape closes the panel (and only while focus is inside it) with `close`.
template<typename Close> void closeOnEscape(QGroupBox *panel, TfmZoom *zoom, Close close)
{
    auto *key = new QAction(panel);
    key->setShortcut(QKeySequence(Qt::Key_Escape));
    key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    panel->addAction(key);
    QObject::connect(key, &QAction::triggered, zoom, close);
}
}   // namespace

void TfmZoom::buildSpeedPanel()
{
    gbSpeed = makePanel(this, "gbSpeed");

    bfLabel1 = makeLabel(gbSpeed, "bfLabel1", QStringLiteral("Die Gesamtgeschwindigkeit ergibt sich aus"),
                         {16, 24, 400, 24}, arial(21));
    bfLabel2 = makeLabel(gbSpeed, "bfLabel2", QStringLiteral("Framerate und Zoomgeschwindigkeit."),
                         {16, 52, 348, 24}, arial(21));
    bfFramerate = makeLabel(gbSpeed, "bfFramerate", QStringLiteral("Framerate (Bilder pro Sekunde):"),
                            {16, 108, 225, 18}, arial(16, false, true));

    cbFramerate = new QComboBox(gbSpeed);
    cbFramerate->setObjectName(QStringLiteral("cbFramerate"));
    cbFramerate->setEditable(false);
    cbFramerate->addItems(FrameRateList::texts());
    cbFramerate->setCurrentIndex(11);
    cbFramerate->setMaxVisibleItems(15);
    cbFramerate->setFont(arial(13, true));
    setTextColour(cbFramerate, Qt::black);
    cbFramerate->setGeometry(252, 104, 173, 24);

    bfFaktor = makeLabel(gbSpeed, "bfFaktor", QStringLiteral("Zoomgeschwindigkeit:"), {20, 151, 156, 18},
                         arial(16, false, true));
    // Wide enough for "100"; the number stands left-aligned after the caption.
    bfPosition = makeLabel(gbSpeed, "bfPosition", QStringLiteral("50"), {187, 151, 40, 18}, arial(16));

    pbZoom = new QProgressBar(gbSpeed);
    pbZoom->setObjectName(QStringLiteral("pbZoom"));
    pbZoom->setRange(1, 100);
    pbZoom->setValue(50);
    pbZoom->setTextVisible(false);
    pbZoom->setGeometry(20, 180, 405, 17);

    sbZoom = new QScrollBar(Qt::Horizontal, gbSpeed);
    sbZoom->setObjectName(QStringLiteral("sbZoom"));
    sbZoom->setRange(1, 100);
    sbZoom->setValue(50);
    sbZoom->setPageStep(1);
    sbZoom->setSingleStep(1);
    sbZoom->setFocusPolicy(Qt::StrongFocus);
    sbZoom->setInvertedControls(false);   // right, up and the wheel up all mean faster
    sbZoom->setGeometry(20, 203, 405, 18);

    bfInfo1 = makeLabel(gbSpeed, "bfInfo1", QStringLiteral("Hinweis: Je nach Geschwindigkeit des PCs kann"),
                        {16, 248, 269, 15}, arial(12));
    bfInfo2 =
        makeLabel(gbSpeed, "bfInfo2", QStringLiteral("die tatsächliche Framerate etwas geringer sein. "),
                  {16, 268, 264, 15}, arial(12));
    bfInfo3 = makeLabel(gbSpeed, "bfInfo3", QStringLiteral("Bei ungleichmäßiger Wiedergabe kleineres"),
                        {16, 288, 239, 15}, arial(12));
    bfInfo4 =
        makeLabel(gbSpeed, "bfInfo4", QStringLiteral("Anzeigefenster oder kleinere Framerate verwenden."),
                  {16, 308, 282, 15}, arial(12));

    bsOK = new QPushButton(QStringLiteral("Übernehmen"), gbSpeed);
    bsOK->setObjectName(QStringLiteral("bsOK"));
    bsOK->setGeometry(336, 252, 87, 25);
    bsCancle = new QPushButton(QStringLiteral("Abbrechen"), gbSpeed);
    bsCancle->setObjectName(QStringLiteral("bsCancle"));
    bsCancle->setGeometry(336, 296, 87, 25);
    for (QPushButton *button : {bsOK, bsCancle}) {
        button->setFont(arial(11, true));
        button->setCursor(Qt::PointingHandCursor);
    }

    // Tab order: frame rate, zoom speed, (gauge), apply, cancel.
    setTabOrder(cbFramerate, sbZoom);
    setTabOrder(sbZoom, bsOK);
    setTabOrder(bsOK, bsCancle);

    // Escape leaves the panel as "Abbrechen" does.
    closeOnEscape(gbSpeed, this, &TfmZoom::bsCancleClick);
}

void TfmZoom::buildInfoPanel()
{
    gbInfo = makePanel(this, "gbInfo");

    mmInfo = new QTextEdit(gbInfo);
    mmInfo->setObjectName(QStringLiteral("mmInfo"));
    mmInfo->setReadOnly(true);
    mmInfo->setFrameShape(QFrame::NoFrame);
    mmInfo->setFont(arial(17));
    mmInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmInfo->setLineWrapMode(QTextEdit::NoWrap);
    mmInfo->setAcceptRichText(false);
    mmInfo->setContextMenuPolicy(Qt::NoContextMenu);   // the window's menu instead
    mmInfo->setFocusPolicy(Qt::NoFocus);
    mmInfo->viewport()->setCursor(Qt::ArrowCursor);
    makeBlack(mmInfo);
    setTextColour(mmInfo, Qt::white);
    mmInfo->document()->setDocumentMargin(1);
    mmInfo->setPlainText(QStringList{
        QString(),
        QString(),
        QStringLiteral("Freeware: Weitergabe erlaubt, Verkauf nicht."),
        QStringLiteral("Bilder und Programm: das Tiefenflug-Team"),
        QString(),
        QStringLiteral("Die einzelnen Bilder des Tiefenflugs wurden mit"),
        QStringLiteral("unserem eigenen Programm berechnet: 1600 × 1200"),
        QStringLiteral("Bildpunkte, jeder aus 9 bis 81 Abtastwerten"),
        QStringLiteral("mit bis zu 150000 Rechenschritten gemittelt."),
        QStringLiteral("Ein PC mit zwei Kernen war etwa eine Stunde"),
        QStringLiteral("lang mit der Berechnung der Bilder beschäftigt."),
        QStringLiteral("Die interessantesten Zoom-Ausschnitte lassen sich"),
        QStringLiteral("mit der Save-Taste abspeichern. Weitere Infos und"),
        QStringLiteral("Bilder im Internet unter "),
        QString(),
        QString(),
    }
                             .join(QLatin1Char('\n')));
    // Centred lines 19 pixels apart, as the layout was drawn: the heading covers the first two
    // (empty) lines and the address stands right below the line that introduces it.
    QTextCursor all(mmInfo->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat lines;
    lines.setAlignment(Qt::AlignHCenter);
    lines.setLineHeight(19, QTextBlockFormat::FixedHeight);
    all.mergeBlockFormat(lines);
    mmInfo->setGeometry(2, 24, 436, 281);

    // The address without its scheme, e.g. "www.example.org/tiefenflug".
    QString address =
        QUrl(QStringLiteral(TF_WEB_ADDRESS)).toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
    while (address.startsWith(QLatin1Char('/')))
        address.remove(0, 1);
    bfLink = new QLabel(address, gbInfo);
    bfLink->setObjectName(QStringLiteral("bfLink"));
    bfLink->setFont(arial(19, false, true));
    bfLink->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    makeBlack(bfLink);
    setTextColour(bfLink, QColor(40, 120, 255));   // blue, still legible on black
    bfLink->setCursor(Qt::PointingHandCursor);
    bfLink->setToolTip(QStringLiteral(TF_WEB_ADDRESS));
    bfLink->setGeometry(95, 293, 245, 33);

    mmUeberschrift = new QLabel(QStringLiteral("Tiefenflug V" TF_VERSION), gbInfo);
    mmUeberschrift->setObjectName(QStringLiteral("mmUeberschrift"));
    mmUeberschrift->setFont(arial(32));
    mmUeberschrift->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    makeBlack(mmUeberschrift);
    setTextColour(mmUeberschrift, Qt::red);
    mmUeberschrift->setGeometry(8, 19, 426, 42);

    // A click anywhere on the panel but the address closes it, and so does Escape, as it closes
    // the speed panel: the text blocks let the clicks through to the panel.
    for (QWidget *text : {static_cast<QWidget *>(mmInfo), static_cast<QWidget *>(mmUeberschrift)})
        text->setAttribute(Qt::WA_TransparentForMouseEvents);
    gbInfo->setFocusPolicy(Qt::ClickFocus);
    closeOnEscape(gbInfo, this, &TfmZoom::closeInfoPanel);
}

void TfmZoom::sbZoomChange()
{
    pbZoom->setValue(sbZoom->value());
    bfPosition->setText(QString::number(sbZoom->value()));
}

void TfmZoom::bsOKClick()
{
    ZoomState.frameRate = FrameRateList::ticksPerSecond(cbFramerate->currentIndex());
    ZoomState.speedPosition = pbZoom->value();
    ZoomState.frameRateIndex = cbFramerate->currentIndex();
    ZoomState.stepFactor = ZoomTimeline::stepFactorForSpeed(pbZoom->value());
    shBackground->hide();
    gbSpeed->hide();
}

void TfmZoom::bsCancleClick()
{
    shBackground->hide();
    gbSpeed->hide();
}

// ---- Opening and closing the panels (the casing's speed and info buttons, "Info...") -------

void TfmZoom::closePanels()
{
    gbInfo->hide();
    shBackground->hide();
    gbSpeed->hide();
}

void TfmZoom::showPanel(QWidget *panel)
{
    // The black background in front of the display surfaces, the panel above it.
    shBackground->show();
    shBackground->raise();
    panel->show();
    panel->raise();
}

void TfmZoom::openSpeedPanel()
{
    sbZoom->setValue(ZoomState.speedPosition);
    cbFramerate->setCurrentIndex(ZoomState.frameRateIndex);
    gbInfo->hide();
    if (transport().isRunning())
        transport().pause();
    showPanel(gbSpeed);
}

void TfmZoom::openInfoPanel()
{
    if (transport().isRunning())
        transport().pause();
    gbSpeed->hide();
    showPanel(gbInfo);
}

void TfmZoom::openWebPage()
{
    webheim1Click();
}

QWidget *TfmZoom::zoomWindow()
{
    return this;
}
