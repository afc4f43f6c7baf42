// SPDX-License-Identifier: GPL-3.0-or-later
// The HD keyframe file as the player looks for it at start-up: beside the built player, in an
// installation under ../share/tiefenflug, and nowhere. The first two need the file the build made
// from resources/keyframes/hd/ and are skipped without it.
#include "HdKeyframeSet.h"
#include "ImageCompare.h"
#include "KeyframeStore.h"
#include "Startup.h"
#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
#ifdef TF_HD_KEYFRAMES_FILE
const QString builtFile = QStringLiteral(TF_HD_KEYFRAMES_FILE);
#else
const QString builtFile;
#endif

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
}

TEST(HdKeyframes, ThePlayerFindsTheBuiltFileBesideItselfAndDecodesEveryKeyframe)
{
    if (builtFile.isEmpty())
        GTEST_SKIP() << "no HD keyframes in resources/keyframes/hd/";
    const HdKeyframeSet set = registerHdKeyframes(QStringLiteral(TF_PLAYER_DIR));
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
