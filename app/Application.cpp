#include "Application.h"
#include "ToolkitError.h"

#include <QIcon>
#include <QMessageBox>
#include <cstdio>

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tiefenflug"));
    setApplicationDisplayName(QStringLiteral("Tiefenflug"));
    setApplicationVersion(QStringLiteral("1.1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon/tiefenflug.ico")));
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
