// SPDX-License-Identifier: GPL-3.0-or-later
// The standard error report: the text rule, and the message loop going on after an error thrown
// from a timer handler and from a click handler.
#include "Application.h"
#include "ToolkitError.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(ErrorReport, AddsAFullStopOnlyAfterCharactersSortingAboveIt)
{
    EXPECT_EQ(Application::reportText(QStringLiteral("Stream-Schreibfehler")),
              QStringLiteral("Stream-Schreibfehler."));
    EXPECT_EQ(Application::reportText(QStringLiteral("Fertig.")), QStringLiteral("Fertig."));
    EXPECT_EQ(Application::reportText(QStringLiteral("Achtung!")), QStringLiteral("Achtung!"));
    EXPECT_EQ(Application::reportText(QStringLiteral("Pfad /tmp/")), QStringLiteral("Pfad /tmp/."));
    EXPECT_EQ(Application::reportText(QStringLiteral("Wert 7")), QStringLiteral("Wert 7."));
    EXPECT_EQ(Application::reportText(QStringLiteral("Liste,")), QStringLiteral("Liste,"));
    EXPECT_EQ(Application::reportText(QString()), QString());
}

namespace {
// Closes every error report box that opens and records what it said.
struct ReportWatcher
{
    QStringList texts, titles;
    QTimer timer;
    ReportWatcher()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                titles << box->windowTitle();
                EXPECT_EQ(box->icon(), QMessageBox::Critical);
                box->accept();
            }
        });
        timer.start(10);
    }
};

bool runLoopUntil(const std::function<bool()> &done, int timeoutMs = 5000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}
}

TEST(ErrorReport, LoopGoesOnAfterAnErrorFromATimer)
{
    ReportWatcher watcher;
    int ticksAfter = 0;
    QTimer failing;
    failing.setSingleShot(true);
    QObject::connect(&failing, &QTimer::timeout,
                     [] { throw ToolkitError(QStringLiteral("Ressource 64 wurde nicht gefunden")); });
    QTimer later;
    QObject::connect(&later, &QTimer::timeout, [&] { ++ticksAfter; });
    failing.start(0);
    later.start(20);
    ASSERT_TRUE(runLoopUntil([&] { return ticksAfter >= 3; }));
    ASSERT_EQ(watcher.texts.size(), 1);
    EXPECT_EQ(watcher.texts.first(), QStringLiteral("Ressource 64 wurde nicht gefunden."));
    EXPECT_EQ(watcher.titles.first(), QStringLiteral("Tiefenflug"));
}

TEST(ErrorReport, LoopGoesOnAfterAnErrorFromAClick)
{
    ReportWatcher watcher;
    QPushButton button(QStringLiteral("Save"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (++clicks == 1)
            throw std::runtime_error("Stream-Schreibfehler");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_TRUE(runLoopUntil([&] { return watcher.texts.size() == 1; }));
    EXPECT_EQ(watcher.texts.first(), QStringLiteral("Stream-Schreibfehler."));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(watcher.texts.size(), 1);
}
