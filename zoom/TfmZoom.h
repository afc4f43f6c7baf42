// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zoom window: a borderless, always-on-top window over the monitor casing's screen area.
// It shows the zoom through two alternating display surfaces, owns the zoom timers, the speed
// and info panels and the popup menus, and drags the monitor window along when it is moved.
// In full screen it shows the zoom picture alone and the monitor window is hidden.
#include "ZoomHost.h"
#include "ZoomPanels.h"

#include <QPoint>
#include <QWidget>
#include <functional>

class DialogStacking;
class MyTImage;
class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QTimer;
class QUrl;
class WindowPair;

class TfmZoom
    : public QWidget
    , public ZoomHost
    , public ZoomPanels
{
public:
    explicit TfmZoom(QWidget *parent = nullptr);
    ~TfmZoom() override;

    // Display surfaces 0 and 1 (800 x 600 each; the window shows their top-left view).
    MyTImage *surfaces[2] = {};

    QTimer *zgZoomIn = nullptr;
    QTimer *zgZoomOut = nullptr;
    QTimer *zgReserve = nullptr;

    QWidget *shBackground = nullptr;

    // Speed panel.
    QGroupBox *gbSpeed = nullptr;
    QLabel *bfLabel1 = nullptr, *bfLabel2 = nullptr, *bfFramerate = nullptr, *bfFaktor = nullptr;
    QLabel *bfPosition = nullptr;
    QLabel *bfInfo1 = nullptr, *bfInfo2 = nullptr, *bfInfo3 = nullptr, *bfInfo4 = nullptr;
    QComboBox *cbFramerate = nullptr;
    QProgressBar *pbZoom = nullptr;
    QScrollBar *sbZoom = nullptr;
    QPushButton *bsOK = nullptr;
    QPushButton *bsCancle = nullptr;

    // Info panel.
    QGroupBox *gbInfo = nullptr;
    QTextEdit *mmInfo = nullptr;
    QLabel *bfLink = nullptr;
    QLabel *mmUeberschrift = nullptr;

    // Menus.
    QMenu *pmMenue = nullptr, *pmAnzeige = nullptr, *pmRepead = nullptr, *Anzeige1 = nullptr;
    QAction *klein1 = nullptr, *mittel1 = nullptr, *gross1 = nullptr;
    QAction *Info1 = nullptr, *webheim1 = nullptr, *Close1 = nullptr;
    QAction *klein2 = nullptr, *mittel2 = nullptr, *gross2 = nullptr;
    QAction *Aus1 = nullptr, *Ein1 = nullptr, *beideRichtungen1 = nullptr;
    QAction *Original1 = nullptr, *Scharf1 = nullptr;   // presentation, in "Anzeige"
    QAction *Vollbild1 = nullptr;                       // full screen, F11
    QAction *Video1 = nullptr;                          // "Als Video speichern…"

    // Handlers.
    void zgZoomInTimer();
    void zgZoomOutTimer();
    void zgReserveTimer();
    void klein1Click();
    void mittel1Click();
    void gross1Click();
    void sbZoomChange();
    void bsOKClick();
    void bsCancleClick();
    void Info1Click();
    void webheim1Click();
    void bfLinkClick();
    void Close1Click();
    void Aus1Click();
    void Ein1Click();
    void beideRichtungen1Click();
    void Original1Click();
    void Scharf1Click();
    void Vollbild1Click();
    // Asks for the video's settings, then exports it on a thread of its own behind a progress
    // dialog; playback pauses meanwhile. A failure reaches the standard error report.
    void Video1Click();

    // Full screen: the zoom picture alone, 4:3 between black bars, always sharp; leaving it
    // brings back the size, the windows' places and the presentation chosen before.
    void setFullScreenView(bool on);
    bool isFullScreenView() const { return m_fullScreen; }   // the casing is hidden meanwhile

    // How the web page is handed to the desktop's browser; tests put in their own.
    using UrlOpener = std::function<bool(const QUrl &)>;
    void setUrlOpener(UrlOpener opener);   // an empty function restores the desktop's opener

    // Raises the zoom window above the casing; an open modal dialog stays above both.
    void raiseAboveCasing() override;

    // ZoomHost
    QImage &surfaceCanvas(int index) override;
    void sendSurfaceToBack(int index) override;
    void bringSurfaceToFront(int index) override;
    void repaintSurface(int index) override;
    void showZoomFactor(const QString &digits, const QString &words) override;
    void setStillPictureLooks(bool atEnd) override;
    QTimer &zoomInTimer() override;
    QTimer &zoomOutTimer() override;
    void startZoomingIn() override;
    void startZoomingOut() override;
    QImage &sharpCanvas(int index) override;
    void showSharpSurface(int index, const std::function<void(QImage &)> &compose) override;
    double sharpRegionWidth() const override;

    // ZoomPanels
    QWidget *zoomWindow() override;
    void openSpeedPanel() override;
    void openInfoPanel() override;
    void openWebPage() override;
    void popUpContextMenu(const QPoint &globalPos) override;
    void popUpSizeMenu(const QPoint &globalPos) override;
    void popUpRepeatMenu(const QPoint &globalPos) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct DisplaySize;
    // The zoom window's top-left corner lies this far right of and below the monitor window's.
    static constexpr int monitorOffsetX = 32;
    static constexpr int monitorOffsetY = 24;

    void buildTimers();
    void buildMenus();
    void buildSpeedPanel();
    void buildInfoPanel();
    void connectHandlers();
    void applyDisplaySize(const DisplaySize &size);
    void FormConstrainedResize();
    void closePanels();
    void showPanel(QWidget *panel);
    void setPresentation(bool sharp);
    // Places the display surfaces, the black background and the panels for the presentation and
    // the window (the view, or the whole screen), then draws the picture anew.
    void layOutView();
    QRect pictureRect() const;                // where the picture lies in the window
    bool handlePlayerKey(QKeyEvent *event);   // Space, arrows, Home, End, Esc in full screen
    void showPointerAgain();
    void closeInfoPanel();

    QActionGroup *m_sizeGroupMenue = nullptr;     // klein1, mittel1, gross1
    QActionGroup *m_sizeGroupAnzeige = nullptr;   // klein2, mittel2, gross2
    QActionGroup *m_repeatGroup = nullptr;
    UrlOpener m_urlOpener;
    WindowPair *m_pair = nullptr;           // the casing follows this window and the other way round
    DialogStacking *m_stacking = nullptr;   // modal dialogs above this window
    bool m_dragging = false;                // a drag this window moves itself (no window manager)
    bool m_systemMove = false;              // the window manager was asked to move the window
    QActionGroup *m_presentationGroup = nullptr;
    bool m_fullScreen = false;
    bool m_sharpChosen = false;         // the presentation of the window, also while full screen
    QRect m_windowGeometry;             // the zoom window before full screen
    QPoint m_casingPosition;            // the monitor window before full screen
    QPoint m_panelPlace{100, 68};       // gbSpeed and gbInfo in the window's display size
    QTimer *m_pointerTimer = nullptr;   // hides the pointer in full screen
    QPoint m_dragGrabOffset;            // press position relative to the window's top-left corner
};

extern TfmZoom *fmZoom;
