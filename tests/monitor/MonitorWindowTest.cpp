// SPDX-License-Identifier: GPL-3.0-or-later
// The monitor window itself: casing and its see-through corners, controls, read-out labels,
// menus opened from the casing, and ending the program.
#include "MonitorFixture.h"
#include "PictureControl.h"
#include "ResourceStream.h"
#include "SaveDialog.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ToolkitError.h"
#include "ZoomState.h"

#include <QApplication>
#include <QBitmap>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {
struct ControlPlace
{
    const char *name;
    QRect geometry;
};

// Bottom-most first: the order in which the controls lie on top of each other.
const ControlPlace controlPlaces[] = {
    {"imgMonitor", {0, 0, 704, 600}},       {"bfFaktor", {352, 533, 181, 17}},
    {"bfFaktor2", {352, 549, 181, 17}},     {"bsSpeed", {45, 564, 42, 22}},
    {"bsInfo", {104, 564, 42, 22}},         {"bsWWW", {222, 564, 42, 22}},
    {"bsClose", {625, 548, 34, 22}},        {"bsRepead", {281, 564, 42, 22}},
    {"bsSave", {163, 564, 42, 22}},         {"bsSize", {574, 548, 34, 22}},
    {"bsZumAnfang", {45, 532, 42, 22}},     {"bsRueckwaerts", {104, 532, 42, 22}},
    {"bsVorwaerts", {222, 532, 42, 22}},    {"bsZumEnde", {281, 532, 42, 22}},
    {"bsPause", {163, 532, 42, 22}},        {"bsZumAnfangD", {45, 532, 42, 22}},
    {"bsRueckwaertsD", {104, 532, 42, 22}}, {"bsVorwaertsD", {222, 532, 42, 22}},
    {"bsZumEndeD", {281, 532, 42, 22}},     {"bsPauseD", {163, 532, 42, 22}},
    {"bfFaktor3", {352, 565, 181, 17}},
};

// Pixels of the window that the mask leaves out.
int pixelsOutsideMask(const QRegion &mask, QSize size)
{
    int inside = 0;
    for (const QRect &rect : mask.intersected(QRect(QPoint(0, 0), size)))
        inside += rect.width() * rect.height();
    return size.width() * size.height() - inside;
}

QMenu *openPopup()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}
}

TEST_F(MonitorTest, WindowIsABorderlessCasingAtTheScreenCorner)
{
    EXPECT_EQ(fmMonitor->objectName(), QStringLiteral("fmMonitor"));
    EXPECT_TRUE(fmMonitor->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(fmMonitor->isWindow());
    EXPECT_EQ(fmMonitor->geometry(), QRect(0, 0, 704, 600));
    EXPECT_EQ(fmZoom->pos(), QPoint(32, 24));
    const QImage casing = loadBitmapResource(640).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(*casingBitmap, casing);
    EXPECT_EQ(fmMonitor->imgMonitor->picture(), casing);
    EXPECT_EQ(fmMonitor->imgMonitor->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MonitorTest, ControlsStandInTheirPlacesAndStackingOrder)
{
    QList<QWidget *> stacked;
    for (QObject *child : fmMonitor->children())
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            stacked.append(widget);
    ASSERT_EQ(stacked.size(), int(std::size(controlPlaces)));
    QStringList order;
    for (const ControlPlace &place : controlPlaces) {
        const QString name = QLatin1String(place.name);
        SCOPED_TRACE(place.name);
        auto *control = fmMonitor->findChild<QWidget *>(name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), fmMonitor);
        EXPECT_EQ(control->geometry(), place.geometry);
        if (name.startsWith(QLatin1String("bs"))) {
            const auto *button = qobject_cast<PictureControl *>(control);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->picture(), loadButtonImage(name));
        }
        // Each disabled-look image lies above its button.
        if (name.endsWith(QLatin1Char('D'))) {
            EXPECT_GT(stacked.indexOf(control),
                      stacked.indexOf(fmMonitor->findChild<QWidget *>(name.chopped(1))));
        }
        order << name;
    }
    // The listed stacking order; the zoom window's constructor brings bsZumEndeD to the front,
    // which changes nothing that overlaps.
    QStringList actual;
    for (QWidget *widget : stacked)
        actual << widget->objectName();
    actual.removeAll(QStringLiteral("bsZumEndeD"));
    order.removeAll(QStringLiteral("bsZumEndeD"));
    EXPECT_EQ(actual, order);
    EXPECT_EQ(fmMonitor->saveDialog()->objectName(), QStringLiteral("sdSave"));
}

TEST_F(MonitorTest, ReadOutIsGreenRightAlignedTextOnTheCasing)
{
    EXPECT_EQ(fmMonitor->bfFaktor->text(), QStringLiteral("Zoomfaktor:"));
    for (QLabel *label : {fmMonitor->bfFaktor, fmMonitor->bfFaktor2, fmMonitor->bfFaktor3}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 200, 0));
        const QFontInfo drawn(label->font());
        EXPECT_EQ(drawn.family(), QStringLiteral("Liberation Sans"));   // what Arial maps to here
        EXPECT_EQ(drawn.pixelSize(), 16);
        EXPECT_FALSE(drawn.bold());
    }
    // What is drawn: green text at the right end, the casing's own pixels around it.
    const QRect area = fmMonitor->bfFaktor->geometry();
    const QImage drawn = fmMonitor->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage casing = casingBitmap->copy(area);
    int green = 0, rightmostGreen = -1;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            if (qGreen(pixel) > 120 && qRed(pixel) < 80 && qBlue(pixel) < 80) {
                ++green;
                rightmostGreen = std::max(rightmostGreen, x);
            }
        }
    EXPECT_GT(green, 50);
    EXPECT_GT(rightmostGreen, area.width() - 8);
    EXPECT_EQ(drawn.pixel(0, 0), casing.pixel(0, 0));
    EXPECT_EQ(drawn.pixel(0, area.height() - 1), casing.pixel(0, area.height() - 1));
}

TEST_F(MonitorTest, KeyColouredCornersAreSeeThroughInEveryCasing)
{
    for (int id : {440, 800, 640}) {
        SCOPED_TRACE(id);
        fmMonitor->showCasing(id);
        const QImage casing = loadBitmapResource(id).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(fmMonitor->size(), casing.size());
        EXPECT_EQ(fmMonitor->imgMonitor->size(), casing.size());
        EXPECT_EQ(fmMonitor->imgMonitor->picture(), casing);
        const QRegion mask = fmMonitor->mask();
        EXPECT_EQ(pixelsOutsideMask(mask, casing.size()), 92);
        const int right = casing.width() - 1, bottom = casing.height() - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
            EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
        // Everything left out has the key colour; the screen area and the buttons stay.
        for (int y = 0; y < casing.height(); ++y)
            for (int x = 0; x < casing.width(); ++x) {
                if (!mask.contains(QPoint(x, y))) {
                    ASSERT_EQ(casing.pixel(x, y), qRgb(0, 255, 0)) << x << "," << y;
                }
            }
        EXPECT_TRUE(mask.contains(QPoint(32, 24)));
        EXPECT_TRUE(mask.contains(QPoint(casing.width() / 2, bottom)));
    }
    // The picture control keeps its own copy of the casing.
    const QImage shown = fmMonitor->imgMonitor->picture();
    casingBitmap->fill(Qt::red);
    EXPECT_EQ(fmMonitor->imgMonitor->picture(), shown);
    fmMonitor->showCasing(640);
}

TEST_F(MonitorTest, MissingCasingPictureRaisesAndChangesNothing)
{
    const QImage before = fmMonitor->imgMonitor->picture();
    const QRegion mask = fmMonitor->mask();
    EXPECT_THROW(fmMonitor->showCasing(641), ToolkitError);
    EXPECT_EQ(fmMonitor->imgMonitor->picture(), before);
    EXPECT_EQ(fmMonitor->size(), QSize(704, 600));
    EXPECT_EQ(fmMonitor->mask(), mask);
}

TEST_F(MonitorTest, RightClickAnywhereOnTheCasingOpensTheContextMenu)
{
    const QPoint places[] = {QPoint(10, 300), fmMonitor->bsSpeed->geometry().center(),
                             fmMonitor->bsRueckwaertsD->geometry().center(),
                             fmMonitor->bfFaktor2->geometry().center()};
    for (QPoint place : places) {
        SCOPED_TRACE(place.x());
        QTest::mouseClick(fmMonitor->windowHandle(), Qt::RightButton, Qt::NoModifier, place);
        ASSERT_EQ(openPopup(), fmZoom->pmMenue);
        openPopup()->close();
    }
    EXPECT_EQ(pairLooks(), "DDDNN");   // a right click on a button does not press it
}

TEST_F(MonitorTest, SizeAndRepeatButtonsOpenTheirMenusAtThePointer)
{
    struct MenuButton
    {
        PictureControl *button;
        void (TfmMonitor::*handler)();
        QMenu *menu;
    };
    for (auto [button, handler, menu] :
         {MenuButton{fmMonitor->bsSize, &TfmMonitor::bsSizeClick, fmZoom->pmAnzeige},
          MenuButton{fmMonitor->bsRepead, &TfmMonitor::bsRepeadClick, fmZoom->pmRepead}}) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QPoint pointer(100 + button->x() / 4, 60);   // the menu fits below it
        QCursor::setPos(pointer);
        (fmMonitor->*handler)();
        ASSERT_EQ(openPopup(), menu);
        EXPECT_EQ(menu->pos(), pointer);
        menu->close();
        // Through a real click on the casing, too.
        clickOn(button);
        EXPECT_EQ(openPopup(), menu);
        menu->close();
    }
}

TEST_F(MonitorTest, CloseButtonEndsTheProgramAtOnceEvenWhileZooming)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            clickOn(fmMonitor->bsVorwaerts);
            clickOn(fmMonitor->bsClose);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(fmMonitor->close(), ::testing::ExitedWithCode(0), "");
}
