// SPDX-License-Identifier: GPL-3.0-or-later
// The HD keyframe file as the player looks for it at start-up: beside the built player, in an
// installation under ../share/tiefenflug, and nowhere. All but the last need the file the build
// made from resources/keyframes/hd/ and are skipped without it.
#include "HdKeyframeSet.h"
#include "ImageCompare.h"
#include "JpegImage.h"
#include "KeyframeStore.h"
#include "Startup.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/prctl.h>

namespace {
#ifdef TF_HD_KEYFRAMES_FILE
const QString builtFile = QStringLiteral(TF_HD_KEYFRAMES_FILE);
#else
const QString builtFile;
#endif
const QString playerDir = QFileInfo(QStringLiteral(TF_PLAYER)).absolutePath();

// The messages written while it lives.
class MessageCatcher
{
public:
    MessageCatcher() { m_previous = qInstallMessageHandler(&MessageCatcher::catchMessage); }
    ~MessageCatcher()
    {
        qInstallMessageHandler(m_previous);
        messages().clear();
    }
    static QStringList &messages()
    {
        static QStringList caught;
        return caught;
    }

private:
    static void catchMessage(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        messages() << message;
    }
    QtMessageHandler m_previous;
};

// Resident kilobytes of this process's mappings of `file`.
qint64 residentKilobytesOf(const QString &file)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return -1;
    qint64 total = 0;
    bool inFile = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-') && !fields[0].endsWith(':'))
            inFile = fields.size() >= 6 && fields[5] == file.toUtf8();
        else if (inFile && fields.size() >= 2 && fields[0] == "Rss:")
            total += fields[1].toLongLong();
    }
    return total;
}
}

TEST(HdKeyframes, TheBuiltPlayerMapsTheFileWhenItStarts)
{
    if (builtFile.isEmpty())
        GTEST_SKIP() << "no HD keyframes in resources/keyframes/hd/";
    QProcess player;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    player.setProcessEnvironment(environment);
    player.setStandardOutputFile(QProcess::nullDevice());
    player.setStandardErrorFile(QProcess::nullDevice());
    player.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    player.start(QStringLiteral(TF_PLAYER), {});
    ASSERT_TRUE(player.waitForStarted(10000));
    // It registers the file before it builds its windows, and keeps it for the whole run.
    bool mapped = false;
    for (int tries = 0; tries < 200 && !mapped && player.state() == QProcess::Running; ++tries) {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(player.processId()));
        mapped = maps.open(QIODevice::ReadOnly) && maps.readAll().contains(builtFile.toUtf8());
        if (!mapped)
            QTest::qWait(50);
    }
    EXPECT_EQ(player.state(), QProcess::Running);
    player.kill();
    player.waitForFinished(5000);
    EXPECT_TRUE(mapped);
}

TEST(HdKeyframes, ThePlayerFindsTheBuiltFileBesideItselfAndDecodesEveryKeyframe)
{
    if (builtFile.isEmpty())
        GTEST_SKIP() << "no HD keyframes in resources/keyframes/hd/";
    const HdKeyframeSet set = registerHdKeyframes(playerDir);
    ASSERT_TRUE(set.isAvailable());
    EXPECT_EQ(set.file(), builtFile);

    QImage hd, own, neighbour;
    for (int number = 1; number <= 63; ++number) {
        set.decode(number, hd);
        ASSERT_EQ(hd.size(), QSize(HdKeyframeSet::width, HdKeyframeSet::height)) << number;
        // The same view as the embedded keyframe of its number: reduced to that size, it is
        // closer to it than to the next deeper (or, for the last, the previous) one.
        decodeKeyframe(number, own);
        decodeKeyframe(number < 63 ? number + 1 : 62, neighbour);
        const QImage reduced = hd.scaled(own.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_GT(psnr(reduced, own), psnr(reduced, neighbour)) << number;
    }
    // Read once, the file's pages do not stay in the player's memory: all 63 read here would
    // otherwise be the whole file.
    EXPECT_LT(residentKilobytesOf(builtFile), QFileInfo(builtFile).size() / 1024 / 4);
}

// The file holds the committed HD pictures and the embedded 800 x 600 ones rewritten as baseline
// JPEGs, which decode faster: the same pixels, and no progressive frame header (SOF2) left.
TEST(HdKeyframes, TheFileHoldsEveryCommittedPictureInBaselineForm)
{
    if (builtFile.isEmpty())
        GTEST_SKIP() << "no HD keyframes in resources/keyframes/hd/";
    const HdKeyframeSet set = registerHdKeyframes(playerDir);
    ASSERT_TRUE(set.isAvailable());
    const auto progressive = [](const QByteArray &bytes) { return bytes.contains("\xff\xc2"); };
    JpegImage decoder;
    QImage packed, committed;
    const auto compare = [&](const QString &packedPath, const QString &committedPath) {
        QFile packedFile(packedPath), committedFile(committedPath);
        ASSERT_TRUE(packedFile.open(QIODevice::ReadOnly) && committedFile.open(QIODevice::ReadOnly));
        const QByteArray packedBytes = packedFile.readAll(), committedBytes = committedFile.readAll();
        EXPECT_TRUE(progressive(committedBytes));
        EXPECT_FALSE(progressive(packedBytes));
        decoder.decodeInto(reinterpret_cast<const uchar *>(packedBytes.constData()), packedBytes.size(),
                           packed);
        decoder.decodeInto(reinterpret_cast<const uchar *>(committedBytes.constData()), committedBytes.size(),
                           committed);
        ASSERT_EQ(packed, committed);
    };
    for (int number = 1; number <= 63; ++number) {
        SCOPED_TRACE(number);
        compare(QStringLiteral(":/keyframes-hd/%1.jpg").arg(number),
                QStringLiteral(TF_HD_KEYFRAMES_DIR "/%1.jpg").arg(number));
        compare(QStringLiteral(":/keyframes-baseline/%1.jpg").arg(number),
                QStringLiteral(":/keyframes/%1.jpg").arg(number));
    }
}

TEST(HdKeyframes, AnInstallationHasItUnderSharePastADamagedFileBesideThePlayer)
{
    if (builtFile.isEmpty())
        GTEST_SKIP() << "no HD keyframes in resources/keyframes/hd/";
    QTemporaryDir prefix;
    const QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("share/tiefenflug")));
    QFile damaged(root.filePath(QStringLiteral("bin/tiefenflug-hd.rcc")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("qres, but nothing after it");
    damaged.close();
    const QString installed = root.filePath(QStringLiteral("share/tiefenflug/tiefenflug-hd.rcc"));
    ASSERT_TRUE(QFile::copy(builtFile, installed));

    MessageCatcher catcher;
    const HdKeyframeSet set = registerHdKeyframes(root.filePath(QStringLiteral("bin")));
    EXPECT_EQ(set.file(), installed);
    ASSERT_EQ(catcher.messages().size(), 1);
    EXPECT_TRUE(catcher.messages()[0].startsWith(damaged.fileName())) << qPrintable(catcher.messages()[0]);
    QImage hd;
    set.decode(40, hd);
    EXPECT_EQ(hd.size(), QSize(HdKeyframeSet::width, HdKeyframeSet::height));
}

TEST(HdKeyframes, WithoutTheFileThePlayerGoesOnWithTheEmbeddedKeyframesWithoutAWord)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    MessageCatcher catcher;
    const HdKeyframeSet set = registerHdKeyframes(prefix.filePath(QStringLiteral("bin")));
    EXPECT_FALSE(set.isAvailable());
    EXPECT_TRUE(set.file().isEmpty());
    EXPECT_TRUE(catcher.messages().isEmpty()) << qPrintable(catcher.messages().join(QLatin1Char('\n')));

    QImage picture;
    EXPECT_THROW(set.decode(1, picture), ToolkitError);
    EXPECT_TRUE(picture.isNull());
    decodeKeyframe(1, picture);
    EXPECT_EQ(picture.size(), QSize(800, 600));
}
