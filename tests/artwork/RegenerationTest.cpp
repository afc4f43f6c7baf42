// SPDX-License-Identifier: GPL-3.0-or-later
// tf-artwork draws everything by code: running it again must give the committed
// files byte for byte, and bad command lines must fail clearly.

#include "ArtworkFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ArtworkFiles;

namespace {

struct ToolRun
{
    int exitCode;
    QString errors;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(TF_ARTWORK_TOOL), arguments);
    if (!tool.waitForFinished(60000))
        return {-1, "did not finish: " + tool.errorString()};
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromLocal8Bit(tool.readAllStandardError())};
}

TEST(Regeneration, GivesTheCommittedFilesByteForByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ToolRun run = runTool({dir.path()});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    QStringList written;
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        written << QDir(dir.path()).relativeFilePath(it.next());
    written.sort();
    QStringList expected = generatedFiles();
    expected.sort();
    EXPECT_EQ(written, expected);

    for (const QString &path : generatedFiles()) {
        QFile file(dir.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray committed = readResource(path);
        EXPECT_FALSE(committed.isEmpty()) << "not committed: " << path.toStdString();
        EXPECT_TRUE(file.readAll() == committed)
            << path.toStdString() << " differs; run `make artwork` and commit";
    }
}

TEST(Regeneration, RejectsAMissingArgumentOrFolder)
{
    const ToolRun noArgument = runTool({});
    EXPECT_EQ(noArgument.exitCode, 2);
    EXPECT_TRUE(noArgument.errors.contains("usage")) << noArgument.errors.toStdString();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath("no-such-folder");
    const ToolRun noFolder = runTool({missing});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(noFolder.errors.contains(missing)) << noFolder.errors.toStdString();
    EXPECT_FALSE(QDir(missing).exists()) << "nothing is created for a wrong folder";
}

TEST(Regeneration, ReportsAFolderItCannotWriteInto)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A file where the casing folder should be.
    QFile blocker(dir.filePath("casing"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ToolRun run = runTool({dir.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("casing")) << run.errors.toStdString();
}

}   // namespace
