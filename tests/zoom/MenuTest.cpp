// SPDX-License-Identifier: GPL-3.0-or-later
// The popup menus, the info panel, the web link and the ways to end the program.
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomFixture.h"
#include "ZoomState.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <cstdlib>

namespace {

QStringList captions(const QMenu *menu)
{
    QStringList list;
    for (const QAction *item : menu->actions())
        list << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return list;
}

}   // namespace

class MenuTest : public ZoomTest
{
protected:
    // A web-page opener that records its calls and answers `opens`.
    void injectOpener(bool opens)
    {
        fmZoom->setUrlOpener([this, opens](const QUrl &url) {
            m_opened << url;
            return opens;
        });
    }
    QList<QUrl> m_opened;
};

TEST_F(MenuTest, CaptionsAndStartChecks)
{
    EXPECT_EQ(captions(fmZoom->pmMenue),
              QStringList({"Anzeige", "Vollbild", "Als Video speichern…", "-", "Info...",
                           fmZoom->webheim1->text(), "-", "Schließen"}));
    EXPECT_EQ(captions(fmZoom->Anzeige1),
              QStringList({"klein", "mittel", "groß", "-", "Original", "Scharf"}));
    EXPECT_TRUE(fmZoom->Original1->isChecked());
    EXPECT_EQ(fmZoom->Vollbild1->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(captions(fmZoom->pmAnzeige), QStringList({"klein", "mittel", "groß"}));
    EXPECT_EQ(captions(fmZoom->pmRepead), QStringList({"Aus", "Ein", "beide Richtungen"}));
    EXPECT_FALSE(fmZoom->webheim1->text().isEmpty());
    EXPECT_FALSE(fmZoom->webheim1->text().startsWith(QLatin1String("www.")));
    EXPECT_EQ(fmZoom->Close1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    // The address on the info panel is the web page's, written without its scheme.
    EXPECT_FALSE(fmZoom->bfLink->text().contains(QLatin1String("://")));
    EXPECT_TRUE(QStringLiteral(TF_WEB_ADDRESS).endsWith(fmZoom->bfLink->text()));
}

TEST_F(MenuTest, RightClickOnEitherWindowOpensTheContextMenu)
{
    QTest::mouseClick(fmZoom->windowHandle(), Qt::RightButton, Qt::NoModifier, QPoint(200, 150));
    EXPECT_TRUE(QTest::qWaitFor([] { return fmZoom->pmMenue->isVisible(); }, 2000));
    fmZoom->pmMenue->close();
    EXPECT_EQ(fmZoom->pos(), QPoint(32, 24));   // a right press does not drag

    QTest::mouseClick(fmMonitor->windowHandle(), Qt::RightButton, Qt::NoModifier, QPoint(10, 590));
    EXPECT_TRUE(QTest::qWaitFor([] { return fmZoom->pmMenue->isVisible(); }, 2000));
    fmZoom->pmMenue->close();

    // Also over a shown panel.
    clickOnMonitor(fmMonitor->bsInfo);
    QTest::mouseClick(fmZoom->windowHandle(), Qt::RightButton, Qt::NoModifier, QPoint(320, 200));
    EXPECT_TRUE(QTest::qWaitFor([] { return fmZoom->pmMenue->isVisible(); }, 2000));
}

TEST_F(MenuTest, RepeatItemsSetTheModeAndCheckThemselves)
{
    const std::pair<QAction *, const char *> items[] = {{fmZoom->Ein1, "ON"},
                                                        {fmZoom->beideRichtungen1, "BIDI"},
                                                        {fmZoom->beideRichtungen1, "BIDI"},
                                                        {fmZoom->Aus1, "OFF"},
                                                        {fmZoom->Ein1, "ON"}};
    clickOnMonitor(fmMonitor->bsRepead);   // the repeat button opens the repeat menu
    ASSERT_TRUE(QTest::qWaitFor([] { return fmZoom->pmRepead->isVisible(); }));
    fmZoom->pmRepead->close();
    clickOnMonitor(fmMonitor->bsVorwaerts);
    for (const auto &[item, mode] : items) {
        chooseFromMenu(fmZoom->pmRepead, item);
        EXPECT_EQ(ZoomState.repeatMode, QLatin1String(mode));
        for (QAction *other : {fmZoom->Aus1, fmZoom->Ein1, fmZoom->beideRichtungen1})
            EXPECT_EQ(other->isChecked(), other == item) << mode;
        EXPECT_TRUE(fmZoom->zgZoomIn->isActive());   // a running zoom goes on
    }
}

TEST_F(MenuTest, InfoFromTheMenuPausesARunningZoomAndShowsThePanelOnBlack)
{
    clickOnMonitor(fmMonitor->bsVorwaerts);
    ASSERT_TRUE(isRunning());
    chooseFromMenu(fmZoom->pmMenue, fmZoom->Info1);
    EXPECT_FALSE(isRunning());
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
    EXPECT_TRUE(fmZoom->shBackground->isVisible());
    const QImage view = shownView();
    EXPECT_EQ(view.pixel(5, 5), qRgb(0, 0, 0));
    // The red heading stands on the panel.
    const QPoint heading = fmZoom->mmUeberschrift->mapTo(fmZoom, fmZoom->mmUeberschrift->rect().center());
    int red = 0;
    for (int x = heading.x() - 100; x < heading.x() + 100; ++x)
        for (int y = heading.y() - 10; y < heading.y() + 10; ++y)
            red += qRed(view.pixel(x, y)) > 150 && qGreen(view.pixel(x, y)) < 80;
    EXPECT_GT(red, 100);

    chooseFromMenu(fmZoom->pmMenue, fmZoom->Info1);   // again: stays shown, no toggle
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
}

TEST_F(MenuTest, InfoPanelClosesOnEscapeAndOnAClickAnywhereButTheAddress)
{
    injectOpener(false);
    const auto closedWithoutTheBrowser = [this] {
        return !fmZoom->gbInfo->isVisible() && !fmZoom->shBackground->isVisible() && m_opened.isEmpty();
    };
    // Opened from the casing, where the keyboard was: Escape reaches the panel.
    clickOnMonitor(fmMonitor->bsInfo);
    ASSERT_TRUE(fmZoom->gbInfo->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(closedWithoutTheBrowser()) << "Escape";

    // A click on the text, on the heading or on the panel's margin.
    for (QWidget *spot :
         {static_cast<QWidget *>(fmZoom->mmInfo), static_cast<QWidget *>(fmZoom->mmUeberschrift),
          static_cast<QWidget *>(fmZoom->gbInfo)}) {
        clickOnMonitor(fmMonitor->bsInfo);
        ASSERT_TRUE(fmZoom->gbInfo->isVisible());
        const QPoint at =
            spot == fmZoom->gbInfo ? QPoint(20, 320) : spot->rect().center();   // below the text
        QTest::mouseClick(fmZoom->windowHandle(), Qt::LeftButton, Qt::NoModifier, spot->mapTo(fmZoom, at));
        EXPECT_TRUE(closedWithoutTheBrowser()) << spot->objectName().toStdString();
    }

    // The address opens the web page instead; the panel stays when the browser cannot start.
    clickOnMonitor(fmMonitor->bsInfo);
    QTimer closer;   // closes the browser error once it is up
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    closer.start();
    clickOn(fmZoom->bfLink);
    EXPECT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
    // A right click is for the context menu.
    QTest::mouseClick(fmZoom->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      fmZoom->mmInfo->mapTo(fmZoom, fmZoom->mmInfo->rect().center()));
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
}

TEST_F(MenuTest, WebPageOpenedPausesInEveryStateClosesThePanelAndMinimises)
{
    injectOpener(true);
    // From the menu while zooming.
    clickOnMonitor(fmMonitor->bsVorwaerts);
    chooseFromMenu(fmZoom->pmMenue, fmZoom->webheim1);
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened[0], QUrl(QStringLiteral(TF_WEB_ADDRESS)));
    EXPECT_FALSE(isRunning());
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_TRUE(fmMonitor->isMinimized());
    EXPECT_TRUE(fmZoom->isMinimized());

    // Restoring the monitor window brings the zoom window back with it.
    fmMonitor->showNormal();
    EXPECT_FALSE(fmZoom->isMinimized());

    // From the address on the info panel, at the start: the pause look even there.
    clickOnMonitor(fmMonitor->bsZumAnfang);
    clickOnMonitor(fmMonitor->bsInfo);
    clickOn(fmZoom->bfLink);
    EXPECT_EQ(m_opened.size(), 2);
    EXPECT_FALSE(fmZoom->gbInfo->isVisible());
    EXPECT_FALSE(fmZoom->shBackground->isVisible());
    EXPECT_TRUE(fmMonitor->bsZumAnfang->isEnabled());
    EXPECT_TRUE(fmMonitor->bsVorwaerts->isEnabled());
    EXPECT_FALSE(fmMonitor->bsPause->isEnabled());
    EXPECT_TRUE(fmZoom->isMinimized());
    fmMonitor->showNormal();

    // From the monitor's web button.
    clickOnMonitor(fmMonitor->bsWWW);
    EXPECT_EQ(m_opened.size(), 3);
    EXPECT_TRUE(fmMonitor->isMinimized());
}

TEST_F(MenuTest, WebPageNotOpenedShowsTheBrowserErrorAndChangesNothing)
{
    injectOpener(false);
    QString text, title;
    int buttons = 0;
    bool boxSeen = false;
    // Reads and closes each error box once it is up.
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxSeen = true;
            text = box->text();
            title = box->windowTitle();
            buttons = int(box->buttons().size());
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start();

    clickOnMonitor(fmMonitor->bsVorwaerts);
    chooseFromMenu(fmZoom->pmMenue, fmZoom->webheim1);
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(text, QStringLiteral("Fehler beim Starten Ihres Standard-Browsers"));
    EXPECT_EQ(title, QStringLiteral("Fehler"));
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(isRunning());
    EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(fmMonitor->isMinimized());
    EXPECT_FALSE(fmZoom->isMinimized());

    // A shown panel stays shown.
    clickOnMonitor(fmMonitor->bsInfo);
    boxSeen = false;
    clickOn(fmZoom->bfLink);
    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
    EXPECT_TRUE(fmZoom->shBackground->isVisible());
    EXPECT_FALSE(fmZoom->isMinimized());
}

// Ending the program runs in a child process: it must end it with status 0.
class EndTest : public ZoomTest
{
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ZoomTest::SetUp();
    }
};

TEST_F(EndTest, SchliessenEndsTheProgramWithStatusZeroEvenWhileZooming)
{
    EXPECT_EXIT(
        {
            clickOnMonitor(fmMonitor->bsVorwaerts);
            chooseFromMenu(fmZoom->pmMenue, fmZoom->Close1);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(EndTest, AltF4EndsTheProgramFromEitherWindow)
{
    for (QWidget *window : {static_cast<QWidget *>(fmZoom), static_cast<QWidget *>(fmMonitor)}) {
        EXPECT_EXIT(
            {
                window->activateWindow();
                (void)QTest::qWaitForWindowActive(window);
                QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
                std::abort();
            },
            ::testing::ExitedWithCode(0), "")
            << window->objectName().toStdString();
    }
}
