#include "CommandLine.h"
#include "FrameRateList.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
// The names xscreensaver's modules take; a single dash works too (-root), as xscreensaver writes.
const QString rootName = QStringLiteral("root");
const QString windowIdName = QStringLiteral("window-id");
const char *const screensaverWindowVariable = "XSCREENSAVER_WINDOW";

[[noreturn]] void failWith(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    std::exit(1);
}

// A window id in decimal or, with 0x before it, in hexadecimal; nothing for anything else
// (a leading 0 alone does not make it octal).
std::optional<std::uint32_t> windowId(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const bool hex = trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const qulonglong value = hex ? trimmed.mid(2).toULongLong(&ok, 16) : trimmed.toULongLong(&ok, 10);
    if (!ok || value == 0 || value > 0xffffffffULL || trimmed.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return std::uint32_t(value);
}

QString repeatMode(const QString &word)
{
    if (word == QLatin1String("aus"))
        return QStringLiteral("OFF");
    if (word == QLatin1String("ein"))
        return QStringLiteral("ON");
    if (word == QLatin1String("beide"))
        return QStringLiteral("BIDI");
    failWith(QStringLiteral("Ungültiger Wert \"%1\" für --repeat (erlaubt: aus, ein, beide).").arg(word));
}

int frameRateIndex(const QString &text)
{
    const int index = FrameRateList::indexOf(text);
    if (index < 0)
        failWith(QStringLiteral("Ungültige Framerate \"%1\" für --frame-rate (erlaubt: %2).")
                     .arg(text, FrameRateList::texts().join(QLatin1String(", "))));
    return index;
}
}   // namespace

void identifyApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tiefenflug"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TF_VERSION));
}

bool screensaverRequested(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty(screensaverWindowVariable))
        return true;
    for (int i = 1; i < argc; ++i) {
        QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--"))
            break;
        for (int dash = 0; dash < 2 && argument.startsWith(u'-'); ++dash)
            argument.remove(0, 1);
        if (argument == rootName || argument == windowIdName || argument.startsWith(windowIdName + u'='))
            return true;
    }
    return false;
}

PlayerOptions parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tiefenflug: ein Flug 2^61-fach in die Mandelbrot-Menge hinein."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption sharp(QStringLiteral("sharp"),
                                   QStringLiteral("Zeigt den Zoom in der Darstellung \"Scharf\"."));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Startet im Vollbild (F11 oder Esc: zurück)."));
    const QCommandLineOption repeat(
        QStringLiteral("repeat"), QStringLiteral("Wiederholung zu Beginn: aus, ein oder beide (Richtungen)."),
        QStringLiteral("aus|ein|beide"));
    const QCommandLineOption frameRate(QStringLiteral("frame-rate"),
                                       QStringLiteral("Framerate zu Beginn (Bilder pro Sekunde): %1.")
                                           .arg(FrameRateList::texts().join(QLatin1String(", "))),
                                       QStringLiteral("N"));
    const QCommandLineOption root(rootName,
                                  QStringLiteral("Bildschirmschoner: zeigt den Zoom im Hintergrundfenster."));
    const QCommandLineOption window(
        windowIdName, QStringLiteral("Bildschirmschoner: zeigt den Zoom im Fenster ID (dezimal oder 0x...)."),
        QStringLiteral("ID"));
    for (const QCommandLineOption *option : {&sharp, &fullScreen, &repeat, &frameRate, &root, &window})
        parser.addOption(*option);
    parser.process(arguments);
    // The player opens no files: an argument is a mistake, reported as an unknown option is.
    if (!parser.positionalArguments().isEmpty())
        failWith(QStringLiteral("Unbekanntes Argument \"%1\".").arg(parser.positionalArguments().first()));

    PlayerOptions options;
    options.sharp = parser.isSet(sharp);
    options.fullScreen = parser.isSet(fullScreen);
    if (parser.isSet(repeat))
        options.repeatMode = repeatMode(parser.value(repeat));
    if (parser.isSet(frameRate))
        options.frameRateIndex = frameRateIndex(parser.value(frameRate));
    // An id on the command line wins over xscreensaver's window, which wins over the root window
    // (xscreensaver's own modules are started with -root and draw into its window all the same).
    const QString fromEnvironment = qEnvironmentVariable(screensaverWindowVariable);
    if (parser.isSet(window) || !fromEnvironment.isEmpty()) {
        const bool given = parser.isSet(window);
        const QString text = given ? parser.value(window) : fromEnvironment;
        const std::optional<std::uint32_t> id = windowId(text);
        if (!id)
            failWith(QStringLiteral("Ungültige Fensternummer \"%1\" %2 (dezimal oder hexadezimal mit 0x).")
                         .arg(text,
                              given ? QStringLiteral("für --window-id")
                                    : QStringLiteral("in %1").arg(QLatin1String(screensaverWindowVariable))));
        options.screensaver = true;
        options.window = *id;
    } else if (parser.isSet(root)) {
        options.screensaver = true;
    }
    return options;
}
