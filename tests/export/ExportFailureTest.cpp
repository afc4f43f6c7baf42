// SPDX-License-Identifier: GPL-3.0-or-later
// Every way an export can end early leaves neither a file under the name asked for nor the
// hidden file it grew in, and never touches an existing file: a cancel, bad settings, a folder
// that is missing or not writable, a full disk and Ctrl+C; the last four through the real
// command line, as an unprivileged user where permissions matter.
#include "ExportToolbox.h"
#include "ProgramExit.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <thread>
#include <unistd.h>

namespace {
const QString player = QStringLiteral(TF_PLAYER_EXECUTABLE);

QStringList tinyArguments(const QString &fileName)
{
    return {QStringLiteral("--export"),     fileName,
            QStringLiteral("--size"),       QStringLiteral("160x120"),
            QStringLiteral("--fps"),        QStringLiteral("8"),
            QStringLiteral("--speed"),      QStringLiteral("100"),
            QStringLiteral("--start-hold"), QStringLiteral("0.5"),
            QStringLiteral("--end-hold"),   QStringLiteral("0.25")};
}

// A folder others may enter (QTemporaryDir's own is private to its owner).
QString openFolder(const QTemporaryDir &dir, const QString &name, QFile::Permissions permissions)
{
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    const QString path = dir.filePath(name);
    QDir().mkpath(path);
    QFile::setPermissions(path, permissions);
    return path;
}

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}

TEST(ExportFailure, ACancelledExportLeavesNothing)
{
    QTemporaryDir dir;
    std::atomic<bool> cancel{false};
    int calls = 0;
    const bool written = exportVideo(
        tinyClip(dir.filePath(QStringLiteral("zoom.mp4"))),
        [&](const ExportProgress &state) {
            ++calls;
            if (state.framesDone == 3)
                cancel = true;
        },
        &cancel);
    EXPECT_FALSE(written);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(filesIn(dir.path()), QStringList());
}

TEST(ExportFailure, BadSettingsFailWithStatusOneAndAnExistingFileNeedsForce)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("there.mp4"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("older video");
    }
    const QString fresh = dir.filePath(QStringLiteral("zoom.mp4"));
    const struct
    {
        QStringList arguments;
        const char *said;
    } cases[] = {
        {tinyArguments(dir.filePath(QStringLiteral("zoom.avi"))), "Dateiendung"},
        {tinyArguments(fresh) << QStringLiteral("--size") << QStringLiteral("161x120"), "Videogröße"},
        {tinyArguments(fresh) << QStringLiteral("--size") << QStringLiteral("32x24"), "Videogröße"},
        {tinyArguments(fresh) << QStringLiteral("--size") << QStringLiteral("groß"), "Videogröße"},
        {tinyArguments(fresh) << QStringLiteral("--fps") << QStringLiteral("0"), "Bildrate"},
        {tinyArguments(fresh) << QStringLiteral("--fps") << QStringLiteral("viele"), "keine ganze Zahl"},
        {tinyArguments(dir.filePath(QStringLiteral("nirgends/zoom.mp4"))), "gibt es nicht"},
        {tinyArguments(existing), "--force"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.arguments.join(QLatin1Char(' '))));
        const ToolResult result = runTool(player, c.arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(QString::fromUtf8(result.err).contains(QString::fromUtf8(c.said)))
            << result.err.constData();
        EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("there.mp4")});
        EXPECT_EQ(contents(existing), QByteArray("older video"));
    }
    const ToolResult forced = runTool(player, tinyArguments(existing) << QStringLiteral("--force"));
    EXPECT_EQ(forced.exitCode, 0) << forced.err.constData();
    EXPECT_TRUE(probe(existing).contains(QLatin1String("codec_name=h264")));
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("there.mp4")});
}

TEST(ExportFailure, AFolderWithoutWritePermissionIsReported)
{
    QTemporaryDir dir;
    const QString folder = openFolder(dir, QStringLiteral("readonly"), QFile::Permissions(0x5555));
    QString program = player;
    QStringList arguments = tinyArguments(folder + QStringLiteral("/zoom.mp4"));
    if (geteuid() == 0) {
        // As root every folder is writable: run as nobody.
        arguments = QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                QStringLiteral("--clear-groups"), QStringLiteral("--"), player}
            + arguments;
        program = QStringLiteral("setpriv");
    }
    const ToolResult result = runTool(program, arguments);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Schreibberechtigung")) << result.err.constData();
    EXPECT_EQ(filesIn(folder), QStringList());
}

TEST(ExportFailure, AFullDiskIsReportedAndLeavesNothing)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    QTemporaryDir dir;
    const QString folder = openFolder(dir, QStringLiteral("small"), QFile::Permissions(0x7755));
    // Room for the start of the video, not for all of it.
    ASSERT_EQ(runTool(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=96k"), QStringLiteral("tmpfs"), folder})
                  .exitCode,
              0);
    for (const char *name : {"zoom.mp4", "zoom.webm"}) {
        SCOPED_TRACE(name);
        const ToolResult result = runTool(player,
                                          tinyArguments(folder + QLatin1Char('/') + QLatin1String(name))
                                              << QStringLiteral("--size") << QStringLiteral("320x240")
                                              << QStringLiteral("--quality") << QStringLiteral("hoch"));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains("voll")) << result.err.constData();
        EXPECT_EQ(filesIn(folder), QStringList());
    }
    runTool(QStringLiteral("umount"), {folder});
}

TEST(ExportFailure, CtrlCStopsTheExportAndLeavesNothing)
{
    QTemporaryDir dir;
    QProcess process;
    // The default speed at 30 frames per second: long enough to be caught running.
    process.start(player,
                  {QStringLiteral("--export"), dir.filePath(QStringLiteral("zoom.mkv")),
                   QStringLiteral("--size"), QStringLiteral("160x120"), QStringLiteral("--fps"),
                   QStringLiteral("30")});
    ASSERT_TRUE(process.waitForStarted());
    QByteArray err;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            err += process.readAllStandardError();
            return err.contains("Bilder/s");
        },
        30000));
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_TRUE(process.readAllStandardError().contains("Abgebrochen"));
    EXPECT_EQ(filesIn(dir.path()), QStringList());
}

TEST(ExportFailure, ThePlayerEndingDuringAnExportLeavesNothing)
{
    QTemporaryDir dir;
    // Forked here (not run again from the start), so that the child writes into this folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    // "Schließen" ends the process at once, with the export's thread still writing.
    EXPECT_EXIT(
        {
            std::thread exporter([&] {
                exportVideo(tinyClip(dir.filePath(QStringLiteral("zoom.mp4")), QSize(640, 480), 30));
            });
            while (filesIn(dir.path()).isEmpty())
                std::this_thread::yield();
            exitProgram();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(filesIn(dir.path()), QStringList());
}
