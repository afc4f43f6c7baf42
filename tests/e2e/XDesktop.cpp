// SPDX-License-Identifier: GPL-3.0-or-later
#include "XDesktop.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <stdexcept>
#include <thread>

namespace {
constexpr int toolTimeoutMs = 10000;

QString point(int value)
{
    return QString::number(value);
}
}   // namespace

XDesktop::XDesktop(QProcessEnvironment environment) : m_environment(std::move(environment)) { }

QByteArray XDesktop::run(const QString &program, const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(m_environment);
    tool.start(program, arguments);
    const QString command = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    if (!tool.waitForFinished(toolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished(1000);
        throw std::runtime_error(qPrintable(command + QStringLiteral(": ") + tool.errorString()));
    }
    const QByteArray output = tool.readAllStandardOutput();
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        throw std::runtime_error(qPrintable(command + QStringLiteral(" failed: ")
                                            + QString::fromLocal8Bit(tool.readAllStandardError())));
    return output;
}

QImage XDesktop::grabScreen() const
{
    // ImageMagick's import reads the root window correctly whatever visuals the windows use
    // (xwd does not once a client has a window of another visual). 8-bit PPM: exact and fast.
    const QByteArray ppm = run(QStringLiteral("import"),
                               {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-depth"),
                                QStringLiteral("8"), QStringLiteral("ppm:-")});
    const QImage screen = QImage::fromData(ppm, "PPM");
    if (screen.isNull())
        throw std::runtime_error("import -window root wrote a picture that cannot be read");
    return screen.convertToFormat(QImage::Format_RGB32);
}

QList<XWindow> XDesktop::visibleWindows(qint64 pid) const
{
    // xdotool finds the mapped windows by their _NET_WM_PID; xwininfo gives names and geometry.
    QProcess search;
    search.setProcessEnvironment(m_environment);
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                  QString::number(pid)});
    search.waitForFinished(toolTimeoutMs);   // exit status 1 just means "none found"
    QList<quint64> ids;
    for (const QByteArray &line : search.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            ids.append(line.trimmed().toULongLong());

    QList<XWindow> windows;
    if (ids.isEmpty())
        return windows;
    // e.g.    0x20000d "fmZoom": ("tiefenflug" "Tiefenflug")  640x480+32+24  +32+24
    // The whole tree: under a window manager the windows lie inside its frames.
    static const QRegularExpression child(QStringLiteral(
        R"re(^\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)):.*\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+([+-]-?\d+)([+-]-?\d+)\s*$)re"));
    // A window that goes while xwininfo walks the tree (a window manager replacing a frame) makes
    // it fail with BadWindow: the tree is read again.
    QString tree;
    for (int attempt = 1;; ++attempt) {
        try {
            tree = QString::fromUtf8(
                run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}));
            break;
        } catch (const std::runtime_error &) {
            if (attempt == 5)
                throw;
        }
    }
    for (const QString &line : tree.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = child.match(line);
        if (!m.hasMatch())
            continue;
        const quint64 id = m.captured(1).toULongLong(nullptr, 16);
        if (!ids.contains(id))
            continue;
        windows.append({id, m.captured(2),
                        QRect(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(3).toInt(),
                              m.captured(4).toInt())});
    }
    return windows;
}

void XDesktop::moveMouse(QPoint to) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), point(to.x()), point(to.y())});
}

void XDesktop::click(QPoint at, int button) const
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), point(at.x()), point(at.y()), QStringLiteral("click"),
         QString::number(button)});
}

void XDesktop::drag(QPoint from, QPoint to, int steps) const
{
    QStringList arguments{QStringLiteral("mousemove"), point(from.x()), point(from.y()),
                          QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        arguments << QStringLiteral("sleep") << QStringLiteral("0.02") << QStringLiteral("mousemove")
                  << point(at.x()) << point(at.y());
    }
    arguments << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mouseup")
              << QStringLiteral("1");
    run(QStringLiteral("xdotool"), arguments);
}

void XDesktop::mouseDown(QPoint at, const QString &modifier) const
{
    QStringList arguments{QStringLiteral("mousemove"), point(at.x()), point(at.y())};
    if (!modifier.isEmpty())
        arguments << QStringLiteral("keydown") << modifier;
    run(QStringLiteral("xdotool"), arguments << QStringLiteral("mousedown") << QStringLiteral("1"));
}

void XDesktop::mouseUp(const QString &modifier) const
{
    QStringList arguments{QStringLiteral("mouseup"), QStringLiteral("1")};
    if (!modifier.isEmpty())
        arguments << QStringLiteral("keyup") << modifier;
    run(QStringLiteral("xdotool"), arguments);
}

void XDesktop::key(const QString &keys) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

bool XDesktop::screenChanges(int milliseconds) const
{
    const QImage before = grabScreen();
    pause(milliseconds);
    return grabScreen() != before;
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs, int stepMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        pause(stepMs);
    }
    return true;
}
