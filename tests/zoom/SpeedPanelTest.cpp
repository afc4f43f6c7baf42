// SPDX-License-Identifier: GPL-3.0-or-later
// The speed settings panel: applying, discarding, the step factor per position and the timer
// interval per frame rate, and how it shares the place with the info panel.
#include "PictureControl.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomFixture.h"
#include "ZoomState.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

class SpeedPanelTest : public ZoomTest
{
protected:
    static void openPanel()
    {
        clickOnMonitor(fmMonitor->bsSpeed);
        ASSERT_TRUE(fmZoom->gbSpeed->isVisible());
        ASSERT_TRUE(fmZoom->shBackground->isVisible());
    }
    static void expectPanelShows(int position, int rateIndex)
    {
        EXPECT_EQ(fmZoom->sbZoom->value(), position);
        EXPECT_EQ(fmZoom->pbZoom->value(), position);
        EXPECT_EQ(fmZoom->bfPosition->text(), QString::number(position));
        EXPECT_EQ(fmZoom->cbFramerate->currentIndex(), rateIndex);
    }
    static void expectClosed()
    {
        EXPECT_FALSE(fmZoom->gbSpeed->isVisible());
        EXPECT_FALSE(fmZoom->shBackground->isVisible());
    }
};

TEST_F(SpeedPanelTest, ApplyingTheStartValuesReplacesTheStartStepFactorByTheFormulasValue)
{
    openPanel();
    expectPanelShows(50, 11);
    EXPECT_EQ(fmZoom->cbFramerate->currentText(), QStringLiteral("30"));
    clickOn(fmZoom->bsOK);
    expectClosed();
    EXPECT_NE(ZoomState.stepFactor, 1.04);
    EXPECT_NEAR(ZoomState.stepFactor, 1.0398894, 5e-8);
    EXPECT_EQ(ZoomState.frameRate, 30);
    EXPECT_EQ(ZoomState.speedPosition, 50);
    EXPECT_EQ(ZoomState.frameRateIndex, 11);
    // The view comes back with the start card.
    EXPECT_EQ(shownView(), activeKeyframeCentre());
}

TEST_F(SpeedPanelTest, StepFactorPerPosition)
{
    const std::pair<int, double> table[] = {{1, 1.0028509},  {10, 1.0064865}, {25, 1.0149723},
                                            {50, 1.0398894}, {75, 1.0896684}, {100, 1.1891161}};
    for (const auto &[position, factor] : table) {
        SCOPED_TRACE(position);
        openPanel();
        fmZoom->sbZoom->setValue(position);
        expectPanelShows(position, 11);
        clickOn(fmZoom->bsOK);
        EXPECT_NEAR(ZoomState.stepFactor, factor, 5e-8);
        EXPECT_EQ(ZoomState.speedPosition, position);
        openPanel();   // reopened at the applied position
        expectPanelShows(position, 11);
        clickOn(fmZoom->bsCancle);
    }
}

TEST_F(SpeedPanelTest, TimerIntervalPerFrameRateAtTheNextStart)
{
    const std::pair<const char *, int> table[] = {
        {"3", 333}, {"4", 250}, {"6", 166}, {"8", 125}, {"10", 100}, {"12", 83}, {"15", 66},     {"18", 55},
        {"20", 50}, {"22", 45}, {"25", 40}, {"30", 33}, {"35", 28},  {"40", 25}, {"maximal", 16}};
    ASSERT_EQ(fmZoom->cbFramerate->count(), 15);
    for (int index = 0; index < 15; ++index) {
        const auto &[item, interval] = table[index];
        SCOPED_TRACE(item);
        openPanel();
        fmZoom->cbFramerate->setCurrentIndex(index);
        EXPECT_EQ(fmZoom->cbFramerate->currentText(), QLatin1String(item));
        clickOn(fmZoom->bsOK);
        EXPECT_EQ(ZoomState.frameRateIndex, index);
        EXPECT_EQ(ZoomState.frameRate, index == 14 ? 60 : QByteArray(item).toInt());
        clickOnMonitor(fmMonitor->bsVorwaerts);
        EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
        EXPECT_EQ(fmZoom->zgZoomIn->interval(), interval);
        clickOnMonitor(fmMonitor->bsPause);
    }
}

TEST_F(SpeedPanelTest, MaximalChosenWithTheKeyboardTicksEvery16ms)
{
    openPanel();
    QTest::keyClick(fmZoom->cbFramerate, Qt::Key_End);
    EXPECT_EQ(fmZoom->cbFramerate->currentText(), QStringLiteral("maximal"));
    clickOn(fmZoom->bsOK);
    EXPECT_EQ(ZoomState.frameRate, 60);
    clickOnMonitor(fmMonitor->bsVorwaerts);
    EXPECT_EQ(fmZoom->zgZoomIn->interval(), 16);
    // Backward starts with the same interval.
    clickOnMonitor(fmMonitor->bsPause);
    clickOnMonitor(fmMonitor->bsRueckwaerts);
    EXPECT_TRUE(fmZoom->zgZoomOut->isActive());
    EXPECT_EQ(fmZoom->zgZoomOut->interval(), 16);
}

TEST_F(SpeedPanelTest, CancelDiscardsAndTheNextOpeningShowsTheAppliedValues)
{
    openPanel();
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(fmZoom->sbZoom, Qt::Key_Right);
    QTest::keyClick(fmZoom->sbZoom, Qt::Key_Left);
    QTest::keyClick(fmZoom->sbZoom, Qt::Key_Left);
    expectPanelShows(57, 11);   // the gauge and the number follow the scroll bar
    QTest::keyClick(fmZoom->cbFramerate, Qt::Key_Home);
    clickOn(fmZoom->bsCancle);
    expectClosed();
    EXPECT_EQ(ZoomState.stepFactor, 1.04);
    EXPECT_EQ(ZoomState.frameRate, 30);
    EXPECT_EQ(ZoomState.speedPosition, 50);
    openPanel();
    expectPanelShows(50, 11);

    // The keyboard works on the panel although the button was clicked on the monitor window;
    // Escape leaves the panel as "Abbrechen" does.
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == fmZoom; }));
    EXPECT_EQ(QApplication::focusWidget(), fmZoom->cbFramerate);
    fmZoom->sbZoom->setValue(90);
    QTest::keyClick(fmZoom->sbZoom, Qt::Key_Escape);
    expectClosed();
    EXPECT_EQ(ZoomState.speedPosition, 50);
}

TEST_F(SpeedPanelTest, AppliedWhileRunningTheZoomStaysPausedUntilTheNextStart)
{
    clickOnMonitor(fmMonitor->bsVorwaerts);
    ASSERT_EQ(fmZoom->zgZoomIn->interval(), 33);
    openPanel();
    EXPECT_FALSE(isRunning());
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    fmZoom->cbFramerate->setCurrentIndex(4);   // "10"
    clickOn(fmZoom->bsOK);
    EXPECT_FALSE(fmZoom->zgZoomIn->isActive());
    EXPECT_FALSE(isRunning());
    clickOnMonitor(fmMonitor->bsVorwaerts);
    EXPECT_EQ(fmZoom->zgZoomIn->interval(), 100);
}

TEST_F(SpeedPanelTest, TheListShowsAllFifteenRatesAndTakesNoTyping)
{
    openPanel();
    QComboBox *list = fmZoom->cbFramerate;
    EXPECT_FALSE(list->isEditable());
    QTest::keyClicks(list, QStringLiteral("99"));
    EXPECT_NE(list->currentText(), QStringLiteral("99"));
    list->showPopup();
    QAbstractItemView *view = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    for (int row = 0; row < 15; ++row) {
        const QRect item = view->visualRect(list->model()->index(row, 0));
        EXPECT_TRUE(item.top() >= 0 && item.bottom() < view->viewport()->height())
            << "item " << row << " needs scrolling";
    }
    list->hidePopup();
}

TEST_F(SpeedPanelTest, PanelsReplaceEachOther)
{
    clickOnMonitor(fmMonitor->bsInfo);
    ASSERT_TRUE(fmZoom->gbInfo->isVisible());
    openPanel();
    EXPECT_FALSE(fmZoom->gbInfo->isVisible());

    // An unapplied change goes when the info panel takes the place.
    fmZoom->sbZoom->setValue(80);
    chooseFromMenu(fmZoom->pmMenue, fmZoom->Info1);
    EXPECT_TRUE(fmZoom->gbInfo->isVisible());
    EXPECT_FALSE(fmZoom->gbSpeed->isVisible());
    EXPECT_TRUE(fmZoom->shBackground->isVisible());
    EXPECT_EQ(ZoomState.speedPosition, 50);
    openPanel();
    expectPanelShows(50, 11);

    // Any transport button closes the panel and takes the black away.
    clickOnMonitor(fmMonitor->bsVorwaerts);
    expectClosed();
    EXPECT_TRUE(isRunning());
}
