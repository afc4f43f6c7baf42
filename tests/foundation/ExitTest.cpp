// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program with the close button while a zoom runs and the loader thread decodes:
// every run must end with exit status 0 and no crash. Each run is a child process of this test
// program that builds the real windows, starts the zoom and clicks close after a while.
#include "JpegImage.h"
#include "KeyframeStore.h"
#include "PictureControl.h"
#include "ResourceStream.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "ZoomState.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QProcess>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <thread>

TEST(ExitChild, DISABLED_ClosesWhileZooming)
{
    const int delayMs = qEnvironmentVariableIntValue("TF_EXIT_DELAY_MS");
    if (qEnvironmentVariableIsSet("TF_EXIT_BUSY_LOADER")) {
        // Keep the loader thread inside TurboJPEG for most of its time.
        const auto guiThread = std::this_thread::get_id();
        setKeyframeSource([guiThread](int number) {
            const QByteArray bytes = ResourceStream(number).bytes();
            if (std::this_thread::get_id() != guiThread) {
                JpegImage jpeg;
                QImage scratch;
                for (int i = 0; i < 20; ++i)
                    jpeg.decodeInto(reinterpret_cast<const uchar *>(bytes.constData()),
                                    std::size_t(bytes.size()), scratch);
            }
            return bytes;
        });
    }
    runUnitStartSteps();
    createPlayerWindows();
    ZoomState.frameRate = 60;
    ZoomState.stepFactor = 1.19;
    QTest::mouseClick(fmMonitor->bsVorwaerts, Qt::LeftButton);
    QTimer::singleShot(delayMs, [] { QTest::mouseClick(fmMonitor->bsClose, Qt::LeftButton); });
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    FAIL() << "the close button did not end the process";
}

TEST(Exit, CloseEndsWithStatusZeroWhileTheLoaderDecodes)
{
    constexpr int runs = 50;
    int ended = 0;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TF_EXIT_DELAY_MS"), QString::number(40 + (run * 53) % 300));
        if (run % 2 == 0)
            env.insert(QStringLiteral("TF_EXIT_BUSY_LOADER"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=ExitChild.DISABLED_ClosesWhileZooming"),
                     QStringLiteral("--gtest_also_run_disabled_tests")});
        ASSERT_TRUE(child.waitForFinished(30000)) << "run " << run << " hung";
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << "run " << run << ":\n" << output.constData();
        EXPECT_EQ(child.exitCode(), 0) << "run " << run << ":\n" << output.constData();
        if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
            ++ended;
    }
    EXPECT_EQ(ended, runs);
}
