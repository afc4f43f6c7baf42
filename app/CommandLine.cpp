#include "CommandLine.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

void identifyApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tiefenflug"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TF_VERSION));
}

PlayerOptions parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tiefenflug: ein Flug 2^61-fach in die Mandelbrot-Menge hinein."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption sharp(QStringLiteral("sharp"),
                                   QStringLiteral("Zeigt den Zoom in der Darstellung \"Scharf\"."));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Startet im Vollbild (F11 oder Esc: zurück)."));
    parser.addOption(sharp);
    parser.addOption(fullScreen);
    parser.process(arguments);
    // The player opens no files: an argument is a mistake, reported as an unknown option is.
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "%s: Unbekanntes Argument \"%s\".\n",
                     qPrintable(QCoreApplication::applicationName()),
                     qPrintable(parser.positionalArguments().first()));
        std::exit(1);
    }
    return {parser.isSet(sharp), parser.isSet(fullScreen)};
}
