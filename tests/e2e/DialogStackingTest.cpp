// Modal dialogs open above the always-on-top picture and keep the keyboard, on a bare X server
// and under a window manager: the save dialog and the browser error, each opened several times
// by a click whose press and release come at once, and clicked beside while open.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

namespace {
class Dialogs : public PlayerFixture, public ::testing::WithParamInterface<bool>
{
protected:
    Dialogs() { m_underWindowManager = GetParam(); }

    // The player's window that is neither the casing nor the picture, once there is one.
    XWindow waitForDialog()
    {
        XWindow dialog;
        waitUntil([&] {
            for (const XWindow &w : m_desktop->visibleWindows(m_player->pid()))
                if (w.geometry != layout::monitorMittel && w.geometry != layout::zoomMittel)
                    dialog = w;
            return dialog.id != 0;
        }, 8000);
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
            ASSERT_TRUE(waitUntil([&] { return m_desktop->visibleWindows(m_player->pid()).size() == 2; }, 3000))
                << "Escape did not close the dialog";
        }
    }
};
} // namespace

TEST_P(Dialogs, SaveDialogOpensAboveThePictureAndKeepsTheKeyboard)
{
    openAndCloseRepeatedly(layout::bsSave, "save dialog");
}

TEST_P(Dialogs, BrowserErrorOpensAboveThePictureAndKeepsTheKeyboard)
{
    // No browser can be found on the player's PATH.
    openAndCloseRepeatedly(layout::bsWWW, "browser error");
}

INSTANTIATE_TEST_SUITE_P(Desktops, Dialogs, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "UnderOpenbox" : "BareX");
                         });
