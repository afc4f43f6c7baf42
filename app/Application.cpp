// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"
#include "CommandLine.h"
#include "QtTranslation.h"
#include "ToolkitError.h"

#include <QIcon>
#include <QMessageBox>
#include <cstdio>

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    identifyApplication();
    setApplicationDisplayName(applicationName());
    // The PNGs carry the disc's transparency; Qt's ICO reader drops the mask of 24-bit icons.
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icon/tiefenflug-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    installQtGerman(*this);
}

QString Application::reportText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Application::showException(const QString &message)
{
    const QString text = reportText(message);
    if (m_reporting) {
        std::fprintf(stderr, "Tiefenflug: %s\n", qPrintable(text));
        return;
    }
    m_reporting = true;
    QMessageBox::critical(activeWindow(), applicationDisplayName(), text);
    m_reporting = false;
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const ToolkitError &error) {
        showException(error.message());
    } catch (const std::exception &error) {
        showException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showException(QString());
    }
    return false;
}
