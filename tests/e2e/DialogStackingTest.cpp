// SPDX-License-Identifier: GPL-3.0-or-later
// Modal dialogs open above the always-on-top picture and keep the keyboard, on a bare X server
// and under a window manager: the save dialog and the browser error, each opened several times
// by a click whose press and release come at once, and clicked beside while open; and the error
// report of a failed save above the save dialog; and a save confirmed in the name field's
// completion list, which leaves nothing of the dialog on screen.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

#include <QDir>
#include <QTemporaryDir>

namespace {
class Dialogs
    : public PlayerFixture
    , public ::testing::WithParamInterface<bool>
{
protected:
    Dialogs() { m_underWindowManager = GetParam(); }

    // The player's window that is neither the casing nor the picture nor `besides`, once there
    // is one.
    XWindow waitForDialog(quint64 besides = 0)
    {
        XWindow dialog;
        waitUntil(
            [&] {
                for (const XWindow &w : m_desktop->visibleWindows(m_player->pid()))
                    if (w.geometry != layout::monitorMittel && w.geometry != layout::zoomMittel
                        && w.id != besides)
                        dialog = w;
                return dialog.id != 0;
            },
            8000);
        return dialog;
    }

    // Most of the dialog's part over the picture shows the dialog, not the picture.
    void expectAbovePicture(const XWindow &dialog, const QString &when)
    {
        const QRect over = dialog.geometry.intersected(layout::zoomMittel);
        ASSERT_FALSE(over.isEmpty()) << "the dialog does not lie over the picture";
        const QImage shot = screen(when);
        const PixelDiff diff = comparePixels(shot.copy(over), m_startScreen.copy(over));
        EXPECT_GT(diff.count, qint64(over.width()) * over.height() / 2)
            << dialog.name << ": hidden behind the picture " << when;
    }

    // A spot on the picture beside the dialog.
    static QPoint besideDialog(const QRect &dialog)
    {
        const QRect inner = layout::zoomMittel.adjusted(6, 6, -6, -6);
        for (const QPoint p : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()})
            if (!dialog.contains(p))
                return p;
        return inner.topLeft();
    }

    void openAndCloseRepeatedly(const QRect &button, const char *what)
    {
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(std::string(what) + " #" + std::to_string(i + 1));
            m_desktop->click(layout::centre(button));   // press and release with no delay
            const XWindow dialog = waitForDialog();
            ASSERT_NE(dialog.id, 0u) << "no dialog opened";
            pause(250);   // anything that would raise the picture late has happened by now
            expectAbovePicture(dialog, QStringLiteral("opened"));
            m_desktop->click(besideDialog(dialog.geometry));
            pause(250);
            expectAbovePicture(dialog, QStringLiteral("picture-clicked"));
            // The keyboard still goes to the dialog: Escape closes it.
            m_desktop->key(QStringLiteral("Escape"));
            ASSERT_TRUE(
                waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 2; }, 3000))
                << "Escape did not close the dialog";
        }
    }
};
}   // namespace

TEST_P(Dialogs, SaveDialogOpensAboveThePictureAndKeepsTheKeyboard)
{
    openAndCloseRepeatedly(layout::bsSave, "save dialog");
}

TEST_P(Dialogs, BrowserErrorOpensAboveThePictureAndKeepsTheKeyboard)
{
    // No browser can be found on the player's PATH.
    openAndCloseRepeatedly(layout::bsWWW, "browser error");
}

TEST_P(Dialogs, ErrorReportOfAFailedSaveOpensAboveTheSaveDialog)
{
    m_desktop->click(layout::centre(layout::bsSave));
    const XWindow dialog = waitForDialog();
    ASSERT_NE(dialog.id, 0u) << "no save dialog";
    pause(250);
    const QImage withDialog = screen(QStringLiteral("save-dialog"));
    // A folder whose parent does not exist: the first file cannot be created.
    m_desktop->key(QStringLiteral("ctrl+a"));
    m_desktop->run(QStringLiteral("xdotool"),
                   {QStringLiteral("type"), QStringLiteral("/nonexistent-tf/Fraktal")});
    m_desktop->key(QStringLiteral("Return"));
    const XWindow report = waitForDialog(dialog.id);
    ASSERT_NE(report.id, 0u) << "no error report";
    pause(250);
    const QImage shot = screen(QStringLiteral("error-report"));
    const QRect over = report.geometry.intersected(dialog.geometry);
    const PixelDiff diff = comparePixels(shot.copy(over), withDialog.copy(over));
    EXPECT_GT(diff.count, qint64(over.width()) * over.height() / 2) << "the error report is hidden";
    // The keyboard goes to the report, then back to the save dialog.
    m_desktop->key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 3; }, 3000))
        << "Escape did not close the error report";
    m_desktop->key(QStringLiteral("Escape"));
    EXPECT_TRUE(waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 2; }, 3000))
        << "Escape did not close the save dialog";
}

namespace {
int savedFileCount(const QString &folder)
{
    return int(QDir(folder).entryList({QStringLiteral("Fraktal*.jpg")}, QDir::Files).size());
}
}   // namespace

// Saving again under a prefix of a folder saved before opens the completion list, and Return
// there confirms the dialog: no window of the dialog may stay, and the first click goes to the
// player.
TEST_P(Dialogs, SaveConfirmedInTheCompletionListLeavesNothingBehind)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto save = [&](const QString &name) {
        m_desktop->click(layout::centre(layout::bsSave));
        const XWindow dialog = waitForDialog();
        EXPECT_NE(dialog.id, 0u) << "no save dialog";
        m_desktop->key(QStringLiteral("ctrl+a"));
        m_desktop->run(QStringLiteral("xdotool"), {QStringLiteral("type"), folder.filePath(name)});
        return dialog;
    };

    ASSERT_NE(save(QStringLiteral("a1")).id, 0u);
    m_desktop->key(QStringLiteral("Return"));
    ASSERT_TRUE(
        waitUntil([&] { return savedFileCount(folder.filePath(QStringLiteral("a1.jpg"))) == 14; }, 5000))
        << "the first save did not write its 14 files";
    ASSERT_TRUE(waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 2; }, 3000))
        << "the first save did not close the dialog";

    const XWindow dialog = save(QStringLiteral("a"));
    ASSERT_NE(dialog.id, 0u);
    const XWindow list = waitForDialog(dialog.id);
    ASSERT_NE(list.id, 0u) << "the completion list did not open";
    screen(QStringLiteral("completion-list"));
    m_desktop->key(QStringLiteral("Return"));
    ASSERT_TRUE(
        waitUntil([&] { return savedFileCount(folder.filePath(QStringLiteral("a.jpg"))) == 14; }, 5000))
        << "the second save did not write its 14 files";
    pause(500);   // a window that comes back late has come back by now
    const QList<XWindow> shown = m_desktop->visibleWindows(m_player->pid());
    for (const XWindow &w : shown)
        EXPECT_TRUE(w.geometry == layout::monitorMittel || w.geometry == layout::zoomMittel)
            << "still on screen after the dialog closed: " << w.name << " at "
            << testing::PrintToString(w.geometry);
    EXPECT_EQ(shown.size(), 2) << "windows of the player";

    // The part of the picture the list never covered must change at the first click on forward.
    QRect clear = layout::zoomMittel;
    clear.setBottom(list.geometry.top() - 1);
    ASSERT_GT(clear.height(), 100) << "the list lay too high to see the picture beside it";
    const QImage before = screen(QStringLiteral("saved")).copy(clear);
    ASSERT_TRUE(comparePixels(before, m_startScreen.copy(clear)).same()) << "the start card is not on screen";
    clickControl(layout::bsVorwaerts);
    const QImage shot = waitForScreen(
        QStringLiteral("forward"),
        [&](const QImage &s) { return !comparePixels(s.copy(clear), before).same(); }, 3000);
    EXPECT_FALSE(comparePixels(shot.copy(clear), before).same())
        << "the first click on forward did not start the zoom";
}

INSTANTIATE_TEST_SUITE_P(Desktops, Dialogs, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "UnderOpenbox" : "BareX");
                         });
