#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

PlayerOptions parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tiefenflug: ein Flug 2^61-fach in die Mandelbrot-Menge hinein."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption sharp(QStringLiteral("sharp"),
                                   QStringLiteral("Zeigt den Zoom in der Darstellung \"Scharf\"."));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Startet im Vollbild (F11 oder Esc: zurück)."));
    parser.addOption(sharp);
    parser.addOption(fullScreen);
    parser.process(app);
    return {parser.isSet(sharp), parser.isSet(fullScreen)};
}
