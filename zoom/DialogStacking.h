// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps every modal dialog of the program (the save dialog, the browser error, Qt's own message
// boxes, the error report) above the always-on-top zoom window and in the keyboard focus, with
// and without a window manager: a modal dialog is made transient for the zoom window, so a
// window manager keeps it above the zoom window even when the picture is clicked, and each
// raise of the zoom window raises an open modal dialog again.
#include <QObject>

class QWidget;

class DialogStacking : public QObject
{
public:
    DialogStacking(QWidget *zoom, QWidget *casing);
    ~DialogStacking() override;

    // Raises the zoom window above the casing and an open modal dialog above both, which keeps
    // the keyboard focus.
    void raiseZoom();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_zoom;
    QWidget *m_casing;
};
