// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmZoom.h"
#include "DialogStacking.h"
#include "MyTImage.h"
#include "MyThread.h"
#include "TfmMonitor.h"
#include "Transport.h"
#include "WindowPair.h"
#include "X11Windows.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

TfmZoom *fmZoom = nullptr;

TfmZoom::TfmZoom(QWidget *parent)
try : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    fmZoom = this;
    zoomHost = this;

    // Window properties of the stored layout.
    setObjectName(QStringLiteral("fmZoom"));
    m_pair = new WindowPair(this, fmMonitor, QPoint(monitorOffsetX, monitorOffsetY));
    // In full screen the casing is hidden and keeps its place for the way back.
    m_pair->casingTakesPart = [this] { return !m_fullScreen; };
    m_stacking = new DialogStacking(this, fmMonitor);
    setWindowTitle(QStringLiteral("Tiefenflug"));
    setFixedSize(ZoomState.viewWidth, ZoomState.viewHeight);
    move(monitorOffsetX, monitorOffsetY);
    setCursor(Qt::SizeAllCursor);
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Black where no surface lies: the bars beside the picture in full screen.
    QPalette blackWindow = palette();
    blackWindow.setColor(QPalette::Window, Qt::black);
    setPalette(blackWindow);
    setAutoFillBackground(true);

    buildTimers();
    shBackground = new QWidget(this);
    shBackground->setObjectName(QStringLiteral("shBackground"));
    QPalette black = shBackground->palette();
    black.setColor(QPalette::Window, Qt::black);
    shBackground->setPalette(black);
    shBackground->setAutoFillBackground(true);
    shBackground->setGeometry(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
    shBackground->hide();
    shBackground->installEventFilter(this);
    buildMenus();
    buildSpeedPanel();
    buildInfoPanel();
    connectHandlers();

    // The display surfaces lie below the black background and the panels.
    for (int i = 0; i < 2; ++i) {
        surfaces[i] = new MyTImage(this);
        surfaces[i]->setObjectName(QStringLiteral("surface%1").arg(i));
        surfaces[i]->stackUnder(shBackground);
    }

    if (!loaderThread)
        loaderThread = new MyThread(true);

    transport().setPanelCloser([this] { closePanels(); });
    fmMonitor->setZoomPanels(this);
    GoToStart();
    // Right after launch the to-end pair looks disabled although GoToStart enabled the button.
    transport().showLaunchLooks();

    move(fmMonitor->x() + monitorOffsetX, fmMonitor->y() + monitorOffsetY);
} catch (...) {
    // A window that failed to build must not be reachable: the error report that follows runs
    // the event loop. There is only ever this one zoom window and its host. The error goes on.
    fmZoom = nullptr;
    zoomHost = nullptr;
    transport().setPanelCloser({});
    if (fmMonitor)
        fmMonitor->setZoomPanels(nullptr);
}

TfmZoom::~TfmZoom()
{
    transport().setPanelCloser({});
    if (fmMonitor)
        fmMonitor->setZoomPanels(nullptr);
    if (zoomHost == this)
        zoomHost = nullptr;
    if (fmZoom == this)
        fmZoom = nullptr;
}

void TfmZoom::buildTimers()
{
    zgZoomIn = new QTimer(this);
    zgZoomIn->setObjectName(QStringLiteral("zgZoomIn"));
    zgZoomOut = new QTimer(this);
    zgZoomOut->setObjectName(QStringLiteral("zgZoomOut"));
    zgReserve = new QTimer(this);
    zgReserve->setObjectName(QStringLiteral("zgReserve"));
    zgReserve->setInterval(10);
    for (QTimer *timer : {zgZoomIn, zgZoomOut, zgReserve})
        timer->setTimerType(Qt::PreciseTimer);
    m_pointerTimer = new QTimer(this);
    m_pointerTimer->setSingleShot(true);
    m_pointerTimer->setInterval(2000);
}

void TfmZoom::connectHandlers()
{
    connect(zgZoomIn, &QTimer::timeout, this, &TfmZoom::zgZoomInTimer);
    connect(zgZoomOut, &QTimer::timeout, this, &TfmZoom::zgZoomOutTimer);
    connect(zgReserve, &QTimer::timeout, this, &TfmZoom::zgReserveTimer);

    // pmMenue is the context menu of both windows (the monitor window opens it itself).
    connect(this, &QWidget::customContextMenuRequested, this, [this] { pmMenue->popup(QCursor::pos()); });

    connect(klein1, &QAction::triggered, this, &TfmZoom::klein1Click);
    connect(klein2, &QAction::triggered, this, &TfmZoom::klein1Click);
    connect(mittel1, &QAction::triggered, this, &TfmZoom::mittel1Click);
    connect(mittel2, &QAction::triggered, this, &TfmZoom::mittel1Click);
    connect(gross1, &QAction::triggered, this, &TfmZoom::gross1Click);
    connect(gross2, &QAction::triggered, this, &TfmZoom::gross1Click);
    connect(Info1, &QAction::triggered, this, &TfmZoom::Info1Click);
    connect(Video1, &QAction::triggered, this, &TfmZoom::Video1Click);
    connect(webheim1, &QAction::triggered, this, &TfmZoom::webheim1Click);
    connect(Close1, &QAction::triggered, this, &TfmZoom::Close1Click);
    connect(Aus1, &QAction::triggered, this, &TfmZoom::Aus1Click);
    connect(Ein1, &QAction::triggered, this, &TfmZoom::Ein1Click);
    connect(beideRichtungen1, &QAction::triggered, this, &TfmZoom::beideRichtungen1Click);
    connect(Original1, &QAction::triggered, this, &TfmZoom::Original1Click);
    connect(Scharf1, &QAction::triggered, this, &TfmZoom::Scharf1Click);
    connect(Vollbild1, &QAction::triggered, this, &TfmZoom::Vollbild1Click);
    // Alt+F4 and F11 work from either window, also where no window manager turns Alt+F4 into a
    // close; neither fires while a modal dialog is open.
    for (QAction *everywhere : {Close1, Vollbild1}) {
        addAction(everywhere);
        fmMonitor->addAction(everywhere);
    }
    connect(m_pointerTimer, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });

    connect(sbZoom, &QScrollBar::valueChanged, this, &TfmZoom::sbZoomChange);
    connect(bsOK, &QPushButton::clicked, this, &TfmZoom::bsOKClick);
    connect(bsCancle, &QPushButton::clicked, this, &TfmZoom::bsCancleClick);

    bfLink->installEventFilter(this);
    gbSpeed->installEventFilter(this);
    gbInfo->installEventFilter(this);
    fmMonitor->installEventFilter(this);
}

// ---- Zoom engine host ----------------------------------------------------------------------

QImage &TfmZoom::surfaceCanvas(int index)
{
    return surfaces[index]->canvas();
}

void TfmZoom::sendSurfaceToBack(int index)
{
    surfaces[index]->lower();
}

void TfmZoom::bringSurfaceToFront(int index)
{
    // In front of the other surface, never in front of the black background or the panels.
    surfaces[index]->stackUnder(shBackground);
}

void TfmZoom::repaintSurface(int index)
{
    if (surfaces[index]->isSharp())
        surfaces[index]->repaint();
    else
        surfaces[index]->repaint(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
}

QImage &TfmZoom::sharpCanvas(int index)
{
    return surfaces[index]->sharpCanvas();
}

void TfmZoom::showSharpSurface(int index, const std::function<void(QImage &)> &compose)
{
    surfaces[index]->showComposed(compose);
}

double TfmZoom::sharpRegionWidth() const
{
    // Full screen shows what the largest size shows, the keyframe's whole width at scale 1.
    return m_fullScreen ? ZoomState.frameWidth : ZoomState.viewWidth;
}

void TfmZoom::showZoomFactor(const QString &digits, const QString &words)
{
    fmMonitor->showZoomFactor(digits, words);
}

void TfmZoom::setStillPictureLooks(bool atEnd)
{
    transport().showStillPictureLooks(atEnd);
}

QTimer &TfmZoom::zoomInTimer()
{
    return *zgZoomIn;
}

QTimer &TfmZoom::zoomOutTimer()
{
    return *zgZoomOut;
}

void TfmZoom::startZoomingIn()
{
    transport().forward();
}

void TfmZoom::startZoomingOut()
{
    transport().backward();
}

// ---- Timers ---------------------------------------------------------------------------------

void TfmZoom::zgZoomInTimer()
{
    zoomInTick();
}

void TfmZoom::zgZoomOutTimer()
{
    zoomOutTick();
}

void TfmZoom::zgReserveTimer()
{
    // Loads on the GUI thread what the loader would; never while the loader writes a bitmap.
    reserveLoad();
}

// ---- Web page -------------------------------------------------------------------------------

void TfmZoom::setUrlOpener(UrlOpener opener)
{
    m_urlOpener = std::move(opener);
}

void TfmZoom::webheim1Click()
{
    const QUrl address(QStringLiteral(TF_WEB_ADDRESS));
    const bool opened = m_urlOpener ? m_urlOpener(address) : QDesktopServices::openUrl(address);
    if (!opened) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Fehler"),
                        QStringLiteral("Fehler beim Starten Ihres Standard-Browsers"), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    // The browser comes to the front: pause in every state and get out of its way.
    transport().pause();
    if (m_fullScreen)
        setFullScreenView(false);
    fmMonitor->showMinimized();
    showMinimized();
}

void TfmZoom::bfLinkClick()
{
    webheim1Click();
}

// ---- Window events: dragging, following, closing -------------------------------------------

void TfmZoom::FormConstrainedResize()
{
    if (m_pair)
        m_pair->zoomPlaced();
}

void TfmZoom::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Places the program gives take the casing along at once; places that the window system
    // reports are checked against each other by the window pair.
    if (!event->spontaneous())
        FormConstrainedResize();
}

void TfmZoom::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!event->spontaneous())
        FormConstrainedResize();
    if (m_fullScreen)   // another screen resolution: the picture and the bars anew
        layOutView();
}

void TfmZoom::mousePressEvent(QMouseEvent *event)
{
    // Presses on the picture and the black background reach here (the surfaces take no mouse
    // input); the panels keep theirs. A left press drags the borderless window.
    if (event->button() != Qt::LeftButton || m_fullScreen) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    m_dragGrabOffset = event->globalPosition().toPoint() - pos();
    // The window manager moves the window; the window pair brings the casing along. On X11 the
    // move starts from the press itself: Qt's own request names wherever the pointer has got to
    // by the time the press is handled, and the window would trail the pointer by that much.
    m_systemMove = X11Windows::available() ? X11Windows::startMove(this, event->position())
                                           : windowHandle() && windowHandle()->startSystemMove();
    // Without a window manager the window follows the pointer itself.
    m_dragging = !m_systemMove;
}

void TfmZoom::mouseMoveEvent(QMouseEvent *event)
{
    if (m_fullScreen)
        showPointerAgain();
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragGrabOffset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TfmZoom::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !(m_dragging || m_systemMove)) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // The release reaches this window only while the window manager has not taken the pointer
    // yet (a click or a tap, pressed and released at once): its move would begin with the
    // button already up and glue the window to the pointer. It is called off.
    if (m_systemMove)
        X11Windows::cancelMove(this);
    m_dragging = m_systemMove = false;
    event->accept();
}

void TfmZoom::raiseAboveCasing()
{
    if (m_stacking)
        m_stacking->raiseZoom();
    else
        raise();
}

void TfmZoom::closeInfoPanel()
{
    shBackground->hide();
    gbInfo->hide();
}

void TfmZoom::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Kept above the monitor window and out of the task bar by the window manager; without
    // one, being shown after the monitor window keeps it on top.
    if (windowHandle() && fmMonitor && fmMonitor->windowHandle())
        windowHandle()->setTransientParent(fmMonitor->windowHandle());
    raiseAboveCasing();
    if (!QApplication::activeModalWidget())
        activateWindow();
}

void TfmZoom::closeEvent(QCloseEvent *event)
{
    // A close request from the window system (Alt+F4 through the window manager) ends the
    // program like "Schließen".
    if (event->spontaneous())
        Close1Click();
    QWidget::closeEvent(event);
}

bool TfmZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == shBackground && event->type() == QEvent::ZOrderChange) {
        // The black background may be brought to the front; the panels stay in front of it.
        gbSpeed->raise();
        gbInfo->raise();
    } else if (watched == bfLink && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && bfLink->rect().contains(mouse->position().toPoint())) {
            bfLinkClick();
            return true;
        }
    } else if (watched == gbInfo && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // A click on the info panel closes it (the address on it opens the web page instead).
        closeInfoPanel();
        return true;
    } else if ((watched == gbSpeed || watched == gbInfo)
               && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // A panel keeps left presses on its empty parts and labels: they do not drag.
        event->accept();
        return true;
    } else if ((watched == gbSpeed || watched == gbInfo) && event->type() == QEvent::Hide) {
        // A panel closed while this window was not active (from the casing) would keep the
        // keyboard focus on its hidden control, and the player's keys would go nowhere.
        QWidget *focus = focusWidget();
        if (focus && static_cast<QWidget *>(watched)->isAncestorOf(focus))
            focus->clearFocus();
    } else if (watched == gbSpeed && event->type() == QEvent::Show) {
        // The panel was opened from the monitor window: its keys go to the panel.
        cbFramerate->setFocus();
        activateWindow();
    } else if (watched == fmMonitor && event->type() == QEvent::KeyPress) {
        if (handlePlayerKey(static_cast<QKeyEvent *>(event)))
            return true;
    } else if (watched == gbInfo && event->type() == QEvent::Show) {
        gbInfo->setFocus();   // for Escape
        activateWindow();
    } else if (watched == fmMonitor && event->type() == QEvent::WindowStateChange) {
        // Restoring the application from the task bar restores the monitor window, the only
        // one with an entry there: the zoom window comes back with it.
        if (!fmMonitor->isMinimized() && isMinimized()) {
            showNormal();
            raiseAboveCasing();
        }
    }
    return QWidget::eventFilter(watched, event);
}
