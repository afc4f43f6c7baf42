// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogStacking.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
bool isModalWindow(QObject *object)
{
    if (!object->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(object);
    return widget->isWindow() && widget->windowModality() != Qt::NonModal && widget->windowHandle();
}
}   // namespace

DialogStacking::DialogStacking(QWidget *zoom, QWidget *casing) : QObject(zoom), m_zoom(zoom), m_casing(casing)
{
    qApp->installEventFilter(this);
}

DialogStacking::~DialogStacking()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void DialogStacking::raiseZoom()
{
    if (m_zoom->isVisible())
        m_zoom->raise();
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
        modal->raise();
        modal->activateWindow();
    }
}

bool DialogStacking::eventFilter(QObject *watched, QEvent *event)
{
    // Shown, not yet mapped: the window system learns the transient parent with the map.
    if (event->type() == QEvent::Show && isModalWindow(watched)) {
        QWindow *window = static_cast<QWidget *>(watched)->windowHandle();
        if (m_zoom->isVisible() && !m_zoom->isMinimized() && m_zoom->windowHandle()) {
            // A dialog of another dialog stays with that one; the others belong to the picture.
            QWindow *parent = window->transientParent();
            if (!parent || parent == m_casing->windowHandle())
                window->setTransientParent(m_zoom->windowHandle());
        }
    } else if (event->type() == QEvent::Hide && isModalWindow(watched)) {
        // Without a window manager nobody hands the keyboard back when a dialog closes: to the
        // window it belonged to (another dialog or the picture), unless someone has taken it.
        QPointer<QWindow> parent = static_cast<QWidget *>(watched)->windowHandle()->transientParent();
        QTimer::singleShot(0, this, [parent] {
            if (parent && parent->isVisible() && !QGuiApplication::focusWindow())
                parent->requestActivate();
        });
    } else if (event->type() == QEvent::WindowActivate && watched == m_zoom
               && QApplication::activeModalWidget()) {
        // A click on the picture gave it the focus (without a window manager): back to the dialog.
        raiseZoom();
    }
    return QObject::eventFilter(watched, event);
}
