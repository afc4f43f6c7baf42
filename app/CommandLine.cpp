// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"
#include "FrameRateList.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <cstring>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
// The names xscreensaver's modules take; a single dash works too (-root), as xscreensaver writes.
const QString rootName = QStringLiteral("root");
const QString windowIdName = QStringLiteral("window-id");
const char *const screensaverWindowVariable = "XSCREENSAVER_WINDOW";

[[noreturn]] void fail(const QString &message)
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
    fail(QStringLiteral("Ungültiger Wert \"%1\" für --repeat (erlaubt: aus, ein, beide).").arg(word));
}

int frameRateIndex(const QString &text)
{
    const int index = FrameRateList::indexOf(text);
    if (index < 0)
        fail(QStringLiteral("Ungültige Framerate \"%1\" für --frame-rate (erlaubt: %2).")
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

namespace {
int wholeNumber(const QString &text, const QString &option)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("Für --%1 ist \"%2\" keine ganze Zahl.").arg(option, text));
    return value;
}

double seconds(const QString &text, const QString &option)
{
    bool ok = false;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok)
        fail(QStringLiteral("Für --%1 ist \"%2\" keine Zahl von Sekunden.").arg(option, text));
    return value;
}
}

bool asksForExport(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--export") == 0 || std::strncmp(argv[i], "--export=", 9) == 0)
            return true;
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
    const QCommandLineOption exportFile(
        QStringLiteral("export"),
        QStringLiteral(
            "Speichert den Zoom als Video (.mp4, .mkv oder .webm) und beendet sich; braucht keinen "
            "Bildschirm."),
        QStringLiteral("datei"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Videogröße (Vorgabe: 1920x1080)."),
                                  QStringLiteral("BxH"));
    const QCommandLineOption fill(
        QStringLiteral("fill"),
        QStringLiteral("Füllt das Video ganz aus (beschnitten) statt schwarzer Balken."));
    const QCommandLineOption fps(QStringLiteral("fps"), QStringLiteral("Bilder pro Sekunde (Vorgabe: 60)."),
                                 QStringLiteral("n"));
    const QCommandLineOption direction(QStringLiteral("direction"),
                                       QStringLiteral("in: hinein (Vorgabe), out: heraus."),
                                       QStringLiteral("in|out"));
    const QCommandLineOption speed(
        QStringLiteral("speed"),
        QStringLiteral("Zoomgeschwindigkeit wie im Geschwindigkeitsfeld, 1 bis 100 "
                       "(Vorgabe: die des Players, 1,04 je Takt bei 30 Takten/s)."),
        QStringLiteral("n"));
    const QCommandLineOption startHold(QStringLiteral("start-hold"),
                                       QStringLiteral("Standzeit der Startkarte in Sekunden (Vorgabe: 2)."),
                                       QStringLiteral("s"));
    const QCommandLineOption endHold(QStringLiteral("end-hold"),
                                     QStringLiteral("Standzeit der Endkarte in Sekunden (Vorgabe: 3)."),
                                     QStringLiteral("s"));
    const QCommandLineOption quality(QStringLiteral("quality"),
                                     QStringLiteral("Videoqualität: niedrig, mittel (Vorgabe) oder hoch."),
                                     QStringLiteral("stufe"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Überschreibt eine vorhandene Datei."));
    parser.addOptions({sharp, fullScreen, repeat, frameRate, root, window, exportFile, size, fill, fps,
                       direction, speed, startHold, endHold, quality, force});
    parser.process(arguments);
    // The player opens no files: an argument is a mistake, reported as an unknown option is.
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("Unbekanntes Argument \"%1\".").arg(parser.positionalArguments().first()));

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
            fail(QStringLiteral("Ungültige Fensternummer \"%1\" %2 (dezimal oder hexadezimal mit 0x).")
                     .arg(text,
                          given ? QStringLiteral("für --window-id")
                                : QStringLiteral("in %1").arg(QLatin1String(screensaverWindowVariable))));
        options.screensaver = true;
        options.window = *id;
    } else if (parser.isSet(root)) {
        options.screensaver = true;
    }
    options.exportVideo = parser.isSet(exportFile);
    for (const QCommandLineOption *option :
         {&size, &fill, &fps, &direction, &speed, &startHold, &endHold, &quality, &force})
        if (!options.exportVideo && parser.isSet(*option))
            fail(QStringLiteral("Die Option --%1 gilt nur zusammen mit --export.")
                     .arg(option->names().first()));
    if (!options.exportVideo)
        return options;

    ExportSettings &s = options.exportSettings;
    s.fileName = parser.value(exportFile);
    if (parser.isSet(size)) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
        const QRegularExpressionMatch match = pattern.match(parser.value(size));
        if (!match.hasMatch())
            fail(QStringLiteral("Ungültige Videogröße \"%1\": erwartet wird Breite x Höhe, etwa 1920x1080.")
                     .arg(parser.value(size)));
        s.size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    }
    s.fill = parser.isSet(fill);
    if (parser.isSet(fps))
        s.framesPerSecond = wholeNumber(parser.value(fps), QStringLiteral("fps"));
    if (parser.isSet(direction)) {
        const QString value = parser.value(direction);
        if (value != QLatin1String("in") && value != QLatin1String("out"))
            fail(QStringLiteral("Für --direction gibt es nur in oder out, nicht \"%1\".").arg(value));
        s.zoomOut = value == QLatin1String("out");
    }
    if (parser.isSet(speed)) {
        const int position = wholeNumber(parser.value(speed), QStringLiteral("speed"));
        if (position < ZoomTimeline::slowestSpeed || position > ZoomTimeline::fastestSpeed)
            fail(QStringLiteral("Die Geschwindigkeit reicht von %1 bis %2, nicht %3.")
                     .arg(ZoomTimeline::slowestSpeed)
                     .arg(ZoomTimeline::fastestSpeed)
                     .arg(position));
        s.stepFactor = ZoomTimeline::stepFactorForSpeed(position);
    }
    if (parser.isSet(startHold))
        s.startCardSeconds = seconds(parser.value(startHold), QStringLiteral("start-hold"));
    if (parser.isSet(endHold))
        s.endCardSeconds = seconds(parser.value(endHold), QStringLiteral("end-hold"));
    if (parser.isSet(quality)) {
        const QStringList levels{QStringLiteral("niedrig"), QStringLiteral("mittel"), QStringLiteral("hoch")};
        const int level = levels.indexOf(parser.value(quality));
        if (level < 0)
            fail(QStringLiteral("Für --quality gibt es niedrig, mittel oder hoch, nicht \"%1\".")
                     .arg(parser.value(quality)));
        s.quality = VideoQuality(level);
    }
    s.overwrite = parser.isSet(force);
    return options;
}
