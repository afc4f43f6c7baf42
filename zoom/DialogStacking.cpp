#include "DialogStacking.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

DialogStacking::DialogStacking(QWidget *zoom, QWidget *casing)
    : QObject(zoom), m_zoom(zoom), m_casing(casing)
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
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *dialog = static_cast<QWidget *>(watched);
        QWindow *window = dialog->windowHandle();
        if (dialog->isWindow() && dialog->windowModality() != Qt::NonModal && window
            && m_zoom->isVisible() && !m_zoom->isMinimized() && m_zoom->windowHandle()) {
            // A dialog of another dialog stays with that one; the others belong to the picture.
            QWindow *parent = window->transientParent();
            if (!parent || parent == m_casing->windowHandle())
                window->setTransientParent(m_zoom->windowHandle());
        }
    } else if (event->type() == QEvent::WindowActivate && watched == m_zoom
               && QApplication::activeModalWidget()) {
        // A click on the picture gave it the focus (without a window manager): back to the dialog.
        raiseZoom();
    }
    return QObject::eventFilter(watched, event);
}
