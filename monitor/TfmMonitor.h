// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The monitor window, the application's main window: a borderless picture of a monitor casing
// with see-through rounded corners, the transport and function buttons, and the three-line
// zoom-factor read-out. The button looks plus the running zoom timer are the playback state.
#include "Transport.h"

#include <QHash>
#include <QWidget>

class PictureControl;
class QLabel;
class SaveDialog;
class ZoomPanels;

class TfmMonitor
    : public QWidget
    , public TransportLooks
{
public:
    explicit TfmMonitor(QWidget *parent = nullptr);
    ~TfmMonitor() override;

    PictureControl *imgMonitor = nullptr;
    QLabel *bfFaktor = nullptr, *bfFaktor2 = nullptr, *bfFaktor3 = nullptr;
    PictureControl *bsSpeed = nullptr, *bsInfo = nullptr, *bsWWW = nullptr, *bsClose = nullptr;
    PictureControl *bsRepead = nullptr, *bsSave = nullptr, *bsSize = nullptr;
    PictureControl *bsZumAnfang = nullptr, *bsRueckwaerts = nullptr, *bsVorwaerts = nullptr;
    PictureControl *bsZumEnde = nullptr, *bsPause = nullptr;
    PictureControl *bsZumAnfangD = nullptr, *bsRueckwaertsD = nullptr, *bsVorwaertsD = nullptr;
    PictureControl *bsZumEndeD = nullptr, *bsPauseD = nullptr;
    SaveDialog *sdSave = nullptr;   // built by saveDialog()

    // The save dialog, built when it is first needed.
    SaveDialog *saveDialog();

    // Loads casing picture `id` (440, 640 or 800) into casingBitmap, shows it in imgMonitor,
    // sizes imgMonitor and the window to it and rebuilds the colour-key mask.
    void showCasing(int id);

    // Lays out the casing for a display size (viewWidth 440, 640 or 800): its picture, the
    // buttons and the read-out.
    void showDisplaySize(int viewWidth);

    // The zoom factor read-out, bfFaktor2 and bfFaktor3.
    void showZoomFactor(const QString &digits, const QString &words);

    // The zoom window's panels and menus, which the function buttons open.
    void setZoomPanels(ZoomPanels *panels);

    // TransportLooks
    void showPlaybackLooks(PlaybackLooks looks) override;
    bool pauseEnabled() const override;

    // Transport looks: a pair's normal look (button enabled, disabled image hidden) or its
    // disabled look (button disabled, disabled image shown above it, taking its clicks).
    void setPairLook(PictureControl *button, bool normal);

    // Handlers.
    void FormShow();
    void bsZumAnfangClick();
    void bsZumEndeClick();
    void bsVorwaertsClick();
    void bsRueckwaertsClick();
    void bsPauseClick();
    void bsCloseClick();
    void bsSizeClick();
    void bsRepeadClick();
    void bsWWWClick();
    void bsSpeedClick();
    void bsSaveClick();
    void bsInfoClick();
    // Runs on confirmation while the dialog is still open: writes the 14 saved keyframes.
    void sdSaveCanClose(bool &canClose);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    PictureControl *makePicture(const QString &name, int left, int top, int width, int height);
    PictureControl *makeButton(const QString &name, int width);
    QLabel *makeLabel(const QString &name, const QString &text);
    // Moves the buttons and the read-out to their places on the casing of a display size.
    void placeControls(int viewWidth);
    void connectHandlers();
    void raiseZoomWindow();

    QHash<PictureControl *, PictureControl *> m_disabledLooks;   // button -> its D image
    ZoomPanels *m_zoomPanels = nullptr;
};

extern TfmMonitor *fmMonitor;
extern class QImage *casingBitmap;
// Start step of the monitor unit: creates casingBitmap before any window exists.
void monitorUnitStart();
