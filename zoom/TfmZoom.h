#pragma once
// The zoom window: a borderless, always-on-top window over the monitor casing's screen area.
// It shows the zoom through two alternating display surfaces, owns the zoom timers, the speed
// and info panels and the popup menus, and drags the monitor window along when it is moved.
#include "ZoomHost.h"

#include <QWidget>

class MyTImage;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

class TfmZoom : public QWidget, public ZoomHost
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
    QPlainTextEdit *mmInfo = nullptr;
    QLabel *bfLink = nullptr;
    QLabel *mmUeberschrift = nullptr;

    // Menus.
    QMenu *pmMenue = nullptr, *pmAnzeige = nullptr, *pmRepead = nullptr, *Anzeige1 = nullptr;
    QAction *klein1 = nullptr, *mittel1 = nullptr, *gross1 = nullptr;
    QAction *Info1 = nullptr, *webheim1 = nullptr, *Close1 = nullptr;
    QAction *klein2 = nullptr, *mittel2 = nullptr, *gross2 = nullptr;
    QAction *Aus1 = nullptr, *Ein1 = nullptr, *beideRichtungen1 = nullptr;

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
};

extern TfmZoom *fmZoom;
