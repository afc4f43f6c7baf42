// SPDX-License-Identifier: GPL-3.0-or-later
#include "XvfbServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
constexpr int candidates = 60;
constexpr int readyTimeoutMs = 10000;
}   // namespace

XvfbServer::XvfbServer(QSize screen) : m_screen(screen)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // If the test program dies (a crash, a time-out), the child goes with it.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

XvfbServer::~XvfbServer()
{
    stop();
}

bool XvfbServer::start(QString *error)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        *error = QStringLiteral("Xvfb is not installed (scripts/install-deps installs it)");
        return false;
    }
    // Several test programs may start servers at the same time: spread them by process id.
    const int base = 200 + int(getpid() % 2000);
    QString reasons;
    for (int i = 0; i < candidates; ++i) {
        const int number = base + i;
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))
            || QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            continue;
        QString reason;
        if (startOn(number, &reason))
            return true;
        reasons += QStringLiteral("\n  :%1: %2").arg(number).arg(reason);
    }
    *error = QStringLiteral("no Xvfb display could be started:") + reasons;
    return false;
}

bool XvfbServer::startOn(int number, QString *error)
{
    const QString display = QStringLiteral(":%1").arg(number);
    const QString geometry = QStringLiteral("%1x%2x24").arg(m_screen.width()).arg(m_screen.height());
    // -displayfd 1 makes the server print its number on standard output once it accepts clients.
    QStringList arguments{display,
                          QStringLiteral("-screen"),
                          QStringLiteral("0"),
                          geometry,
                          QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"),
                          QStringLiteral("-noreset"),
                          QStringLiteral("-dpi"),
                          QStringLiteral("96"),
                          QStringLiteral("-displayfd"),
                          QStringLiteral("1")};
    if (!m_framebufferFolder.isEmpty())
        arguments << QStringLiteral("-fbdir") << m_framebufferFolder;
    m_process.start(QStringLiteral("Xvfb"), arguments);
    if (!m_process.waitForStarted(5000)) {
        *error = m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(readyTimeoutMs);
    QByteArray announced;
    while (!announced.contains('\n')) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired()) {
            *error = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
            if (error->isEmpty())
                *error = QStringLiteral("did not become ready");
            stop();
            return false;
        }
        m_process.waitForReadyRead(100);
        announced += m_process.readAllStandardOutput();
    }
    m_display = display;

    QProcess root;
    root.setProcessEnvironment(clientEnvironment());
    root.start(QStringLiteral("xsetroot"), {QStringLiteral("-solid"), QStringLiteral("magenta")});
    if (!root.waitForFinished(5000) || root.exitCode() != 0) {
        *error = QStringLiteral("xsetroot failed: ") + QString::fromLocal8Bit(root.readAllStandardError());
        stop();
        return false;
    }
    return true;
}

void XvfbServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    m_display.clear();
}

bool XvfbServer::isRunning() const
{
    return m_process.state() == QProcess::Running && !m_display.isEmpty();
}

QProcessEnvironment XvfbServer::clientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("XAUTHORITY"));
    return env;
}
