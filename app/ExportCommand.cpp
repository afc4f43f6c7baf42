// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportCommand.h"
#include "Application.h"
#include "CommandLine.h"
#include "TerminalProgress.h"
#include "ToolkitError.h"

#include <QByteArray>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int runExport(int &argc, char **argv)
{
    // Frames are composed in memory; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The AV1 encoder's notes would break up the progress line; its failures come back as
    // error codes all the same.
    if (qEnvironmentVariableIsEmpty("SVT_LOG"))
        qputenv("SVT_LOG", "0");
    QGuiApplication app(argc, argv);
    identifyApplication();
    const ExportSettings settings = parseCommandLine(app.arguments()).exportSettings;
    TerminalProgress bar(stderr);
    try {
        const bool written = exportVideo(
            settings, [&bar](const ExportProgress &state) { bar.show(state); },
            &TerminalProgress::interruptFlag());
        bar.finish();
        if (!written) {
            std::fputs("Abgebrochen; es wurde keine Datei geschrieben.\n", stderr);
            return 130;
        }
        std::fprintf(stderr, "Gespeichert: %s\n", qPrintable(QDir::toNativeSeparators(settings.fileName)));
        return 0;
    } catch (const ToolkitError &error) {
        bar.finish();
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(Application::reportText(error.message())));
    }
    return 1;
}
