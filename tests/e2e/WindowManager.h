// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// openbox, a standard EWMH window manager, on a test's own X display: it frames, places, moves,
// stacks and closes the windows as on a user's desktop (default configuration: Alt+drag moves
// a window, Alt+F4 closes it). The destructor ends it.
class WindowManager
{
public:
    explicit WindowManager(const QProcessEnvironment &display);
    ~WindowManager();
    WindowManager(const WindowManager &) = delete;
    WindowManager &operator=(const WindowManager &) = delete;

    // Starts it and waits until it manages the screen; false with a reason in *error otherwise.
    bool start(QString *error);

private:
    bool announced() const;   // the root window names a supporting window manager

    QProcessEnvironment m_environment;
    QProcess m_process;
};
