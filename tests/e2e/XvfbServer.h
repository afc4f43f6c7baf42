// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QRgb>
#include <QSize>
#include <QString>

// A private X server for one test: Xvfb on the first free display number counted from a base
// derived from the process id, 24-bit TrueColor, no TCP, never reset between clients, with a
// solid magenta root window so that see-through pixels of a window are easy to recognise.
class XvfbServer
{
public:
    explicit XvfbServer(QSize screen = QSize(1280, 1024));
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Before start: the server keeps its screen in a file Xvfb_screen0 (XWD format) in `folder`,
    // which shows every change at once (for timing measurements; the tests use screenshots).
    void setFramebufferFolder(const QString &folder) { m_framebufferFolder = folder; }

    // Starts the server and paints the root window; false with a reason in *error otherwise.
    bool start(QString *error);
    void stop();
    bool isRunning() const;

    QString display() const { return m_display; }          // ":N"
    qint64 pid() const { return m_process.processId(); }   // for CPU figures of the server itself
    // The environment for a client on this display: DISPLAY set; no platform plugin override and
    // no Wayland session, so that Qt programs choose their X11 back end as on a desktop.
    QProcessEnvironment clientEnvironment() const;

    static constexpr QRgb rootColour = 0xffff00ff;   // magenta

private:
    bool startOn(int number, QString *error);

    QSize m_screen;
    QString m_framebufferFolder;
    QProcess m_process;
    QString m_display;
};
