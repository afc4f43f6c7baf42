#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <cstring>

#include <cstdio>
#include <cstdlib>

void identifyApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tiefenflug"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1"));
}

namespace {
[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    std::exit(1);
}

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
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption sharp(QStringLiteral("sharp"),
                                   QStringLiteral("Zeigt den Zoom in der Darstellung \"Scharf\"."));
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Startet im Vollbild (F11 oder Esc: zurück)."));
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
    parser.addOptions({sharp, fullScreen, exportFile, size, fill, fps, direction, speed, startHold, endHold,
                       quality, force});
    parser.process(arguments);
    // The player opens no files: an argument is a mistake, reported as an unknown option is.
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("Unbekanntes Argument \"%1\".").arg(parser.positionalArguments().first()));

    PlayerOptions options;
    options.sharp = parser.isSet(sharp);
    options.fullScreen = parser.isSet(fullScreen);
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
