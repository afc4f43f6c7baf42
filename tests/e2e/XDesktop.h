// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QImage;

// One top-level window as the X server sees it.
struct XWindow
{
    quint64 id = 0;
    QString name;
    QRect geometry;   // in root-window coordinates
};

// What a person at the X display sees and does: screenshots of the root window, the visible
// windows of a process, and mouse and keyboard input through the XTEST extension (xdotool).
// Every call runs the standard X tools against the display of the given environment; a tool
// that fails raises std::runtime_error (a test reports it as a failure with the tool's message).
class XDesktop
{
public:
    explicit XDesktop(QProcessEnvironment environment);

    QImage grabScreen() const;                          // the whole root window, RGB32
    bool screenChanges(int milliseconds = 200) const;   // within that time
    QList<XWindow> visibleWindows(qint64 pid) const;    // mapped windows that the process owns

    void moveMouse(QPoint to) const;
    void click(QPoint at, int button = 1) const;
    void rightClick(QPoint at) const { click(at, 3); }
    // Presses the left button at `from`, moves to `to` in `steps` steps, releases it there.
    void drag(QPoint from, QPoint to, int steps = 12) const;
    void key(const QString &keys) const;   // e.g. "alt+F4", "Down", "Return"
    // The left button held down at `at` (with `modifier` held too, e.g. "alt"), and let go.
    void mouseDown(QPoint at, const QString &modifier = {}) const;
    void mouseUp(const QString &modifier = {}) const;

    // Runs an X client tool against the display and returns its standard output.
    QByteArray run(const QString &program, const QStringList &arguments) const;

private:
    QProcessEnvironment m_environment;
};

// Sleeps the calling thread; the tests wait for the player's reaction from outside.
void pause(int milliseconds);
// Polls `done` every `stepMs` until it holds (true) or `timeoutMs` has passed (false).
bool waitUntil(const std::function<bool()> &done, int timeoutMs, int stepMs = 20);
