// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the 14 keyframes through the real save dialog into real folders, also as an ordinary
// user where folder and file permissions matter.
#include "KeyframeStore.h"
#include "MonitorFixture.h"
#include "PictureControl.h"
#include "SaveDialog.h"
#include "SavedKeyframes.h"
#include "TfmMonitor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
enum class Confirm { ReturnKey, Accept, Cancel };

// Lowers the largest file size this process may write, as a disk that is full beyond it.
// Writes past the limit fail with EFBIG instead of raising SIGXFSZ. Restored when it goes.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (getrlimit(RLIMIT_FSIZE, &m_old) != 0
            || (m_old.rlim_max != RLIM_INFINITY && m_old.rlim_max < bytes))
            return;
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QStringList savedNames()
{
    QStringList names;
    for (const SavedKeyframe &row : savedKeyframes)
        names << QStringLiteral("Fraktal%1.jpg").arg(row.fileNumber);
    names.sort();
    return names;
}

class SaveTest : public MonitorTest
{
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        ASSERT_TRUE(m_temp.isValid());
        m_where = m_temp.path();
    }

    // Clicks the save button; inside the dialog's event loop types `name` into the name field
    // of folder m_where and confirms it. Returns the text of the error report that the
    // application showed, empty when there was none.
    QString saveThroughDialog(const QString &name, Confirm confirm = Confirm::ReturnKey)
    {
        QString report;
        m_driven = m_questionAsked = m_leftOpen = false;
        bool confirmed = false;
        SaveDialog *dialog = fmMonitor->saveDialog();
        // Answers what comes up after the confirmation: the error report is read and closed,
        // any other window (an overwrite question) is counted and closed. Then a dialog still
        // open is noted and cancelled.
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal != dialog) {
                const auto *box = qobject_cast<QMessageBox *>(modal);
                if (box && box->icon() == QMessageBox::Critical)
                    report = box->text();
                else
                    m_questionAsked = true;
                modal->close();
            } else if (confirmed) {
                watchdog.stop();
                m_leftOpen = dialog->isVisible();
                if (m_leftOpen)
                    dialog->reject();
            }
        });
        watchdog.start(10);
        QTimer::singleShot(0, dialog, [&] {
            m_driven = dialog->isVisible();
            dialog->setDirectory(m_where);
            dialog->fileNameEdit()->setText(name);
            m_reported = dialog->enteredPath();
            confirmed = true;
            if (confirm == Confirm::ReturnKey)
                QTest::keyClick(dialog->fileNameEdit(), Qt::Key_Return);
            else if (confirm == Confirm::Accept)
                static_cast<QDialog *>(dialog)->accept();
            else
                dialog->reject();
        });
        clickOn(fmMonitor->bsSave);
        EXPECT_TRUE(m_driven) << "the save button did not open the dialog";
        EXPECT_FALSE(dialog->isVisible());
        return report;
    }

    void expectAllSaved(const QString &folder)
    {
        EXPECT_EQ(entries(folder), savedNames());
        for (const SavedKeyframe &row : savedKeyframes) {
            const QByteArray saved = fileBytes(savedKeyframePath(folder, row));
            EXPECT_EQ(saved, keyframeBytes(row.keyframe)) << "Fraktal" << row.fileNumber;
        }
    }

    QTemporaryDir m_temp;
    QString m_where;      // the folder the dialog shows
    QString m_reported;   // the path the dialog reported for the typed name
    bool m_driven = false, m_questionAsked = false, m_leftOpen = false;
};
}

TEST(SaveDialogSettings, AsksForAFolderNamedFraktalWithoutAnOverwriteQuestion)
{
    ensurePlayerWindows();
    SaveDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("JPEG Bilder speichern (Ordner angeben)"));
    EXPECT_EQ(dialog.fileNameEdit()->text(), QStringLiteral("Fraktal"));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("jpg"));
    EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("*.jpg")});
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST_F(SaveTest, WritesTheFourteenKeyframesWhateverThePlaybackState)
{
    const char *states[] = {"at start", "zooming in", "paused", "zooming out", "at end"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(states[i]);
        if (i == 1)
            clickOn(fmMonitor->bsVorwaerts);
        if (i == 2)
            clickOn(fmMonitor->bsPause);
        if (i == 3)
            clickOn(fmMonitor->bsRueckwaerts);
        if (i == 4)
            clickOn(fmMonitor->bsPause), clickOn(fmMonitor->bsZumEnde);
        const PlaybackSnapshot before = playbackSnapshot();
        m_where = m_temp.filePath(QString::number(i));
        ASSERT_TRUE(QDir().mkdir(m_where));

        EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
        EXPECT_FALSE(m_leftOpen);
        // The dialog adds its default extension; the folder has exactly the reported path.
        EXPECT_EQ(m_reported, m_where + QStringLiteral("/Fraktal.jpg"));
        EXPECT_TRUE(QFileInfo(m_reported).isDir());
        expectAllSaved(m_reported);
        // Playback is left alone.
        const PlaybackSnapshot after = playbackSnapshot();
        EXPECT_EQ(after.looks, before.looks);
        EXPECT_EQ(after.zoomingIn, before.zoomingIn);
        EXPECT_EQ(after.zoomingOut, before.zoomingOut);
    }
    // The files get the permissions of any new file, not those of a private temporary.
    QFile plain(m_temp.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(QFileInfo(m_reported + QStringLiteral("/Fraktal7.jpg")).permissions(), plain.permissions());
}

TEST_F(SaveTest, SavingAgainOverwritesWithoutAQuestionAndLeavesOtherFilesAlone)
{
    ASSERT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
    const QString folder = m_reported;
    writeFile(folder + QStringLiteral("/Fraktal3.jpg"), "spoilt");
    writeFile(folder + QStringLiteral("/Notizen.txt"), "meine Notizen");

    EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
    EXPECT_EQ(m_reported, folder);
    EXPECT_FALSE(m_questionAsked);
    EXPECT_FALSE(m_leftOpen);
    EXPECT_EQ(fileBytes(folder + QStringLiteral("/Fraktal3.jpg")), keyframeBytes(26));
    EXPECT_EQ(fileBytes(folder + QStringLiteral("/Notizen.txt")), QByteArray("meine Notizen"));
    EXPECT_EQ(entries(folder).size(), 15);
}

TEST_F(SaveTest, NameWithAJpgExtensionStillNamesAFolder)
{
    EXPECT_EQ(saveThroughDialog(QStringLiteral("Bilder.jpg"), Confirm::Accept), QString());
    EXPECT_EQ(m_reported, m_where + QStringLiteral("/Bilder.jpg"));
    EXPECT_TRUE(QFileInfo(m_reported).isDir());
    expectAllSaved(m_reported);
}

TEST_F(SaveTest, CancellingWritesNothing)
{
    EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal"), Confirm::Cancel), QString());
    EXPECT_TRUE(entries(m_where).isEmpty());
}

TEST_F(SaveTest, MissingParentFolderReportsTheFirstFileAndWritesNothing)
{
    const QString report = saveThroughDialog(QStringLiteral("fehlt/Bilder"));
    EXPECT_EQ(m_reported, m_where + QStringLiteral("/fehlt/Bilder.jpg"));
    EXPECT_EQ(report, QStringLiteral("Datei %1/Fraktal1.jpg kann nicht erstellt werden.").arg(m_reported));
    EXPECT_TRUE(entries(m_where).isEmpty());
    EXPECT_FALSE(m_questionAsked);
    // The dialog stays open after a failed save, for another name.
    EXPECT_TRUE(m_leftOpen);
}

TEST_F(SaveTest, FileThatCannotBeCreatedStopsAtItsRow)
{
    const QString folder = m_where + QStringLiteral("/Fraktal.jpg");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Fraktal5.jpg")));   // a folder in the way
    const QString report = saveThroughDialog(QStringLiteral("Fraktal"));
    EXPECT_EQ(report, QStringLiteral("Datei %1/Fraktal5.jpg kann nicht erstellt werden.").arg(folder));
    for (const SavedKeyframe &row : savedKeyframes) {
        const QString path = savedKeyframePath(folder, row);
        if (row.fileNumber < 5) {
            EXPECT_EQ(fileBytes(path), keyframeBytes(row.keyframe)) << row.fileNumber;
        } else if (row.fileNumber > 5) {
            EXPECT_FALSE(QFileInfo::exists(path)) << row.fileNumber;
        }
    }
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Fraktal5.jpg")).isDir());
    EXPECT_EQ(entries(folder).size(), 5);   // no temporary file left behind
}

TEST_F(SaveTest, FullDiskReportsAWriteErrorAndKeepsEveryOldAndEarlierFile)
{
    const QString folder = m_where + QStringLiteral("/Fraktal.jpg");
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const SavedKeyframe &row : savedKeyframes)
        writeFile(savedKeyframePath(folder, row), QByteArray("alt ") + QByteArray::number(row.fileNumber));

    // The disk fills up at the first file from the third on that is larger than all before it.
    qint64 room = 0;
    int failing = 0;
    for (const SavedKeyframe &row : savedKeyframes) {
        const qint64 size = keyframeBytes(row.keyframe).size();
        if (row.fileNumber > 2 && size > room) {
            failing = row.fileNumber;
            break;
        }
        room = std::max(room, size);
    }
    ASSERT_GT(failing, 2);

    QString report;
    {
        FileSizeLimit fullDisk{rlim_t(room)};
        if (!fullDisk.active())
            GTEST_SKIP() << "the file size limit cannot be lowered here";
        report = saveThroughDialog(QStringLiteral("Fraktal"));
    }
    EXPECT_EQ(report, QStringLiteral("Stream-Schreibfehler."));
    EXPECT_FALSE(m_questionAsked);
    for (const SavedKeyframe &row : savedKeyframes) {
        const QByteArray expected = row.fileNumber < failing
            ? keyframeBytes(row.keyframe)
            : QByteArray("alt ") + QByteArray::number(row.fileNumber);
        EXPECT_EQ(fileBytes(savedKeyframePath(folder, row)), expected) << row.fileNumber;
    }
    EXPECT_EQ(entries(folder), savedNames());   // no partial temporary file left behind

    // With room again, the same save completes.
    EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
    expectAllSaved(folder);
}

// ---- Permissions, as an ordinary user ---------------------------------------------------------
// root writes into any folder, so these cases run in a child process of this test program that
// gives up root's privileges for good before its first case (the suite runs as root in CI).

namespace {
bool runsUnprivileged = false;

// Makes this process the user nobody for good; nothing to do when it is not root.
bool dropToUnprivilegedUser()
{
    if (geteuid() != 0)
        return true;
    const passwd *nobody = getpwnam("nobody");
    return nobody && setgroups(0, nullptr) == 0
        && setresgid(nobody->pw_gid, nobody->pw_gid, nobody->pw_gid) == 0
        && setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) == 0 && geteuid() != 0;
}

ino_t inodeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

void setMode(const QString &path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << qPrintable(path);
}

class SaveAsUser : public SaveTest
{
protected:
    // Before the first fixture, so its temporary folders already belong to the ordinary user.
    static void SetUpTestSuite() { runsUnprivileged = dropToUnprivilegedUser(); }

    void SetUp() override
    {
        ASSERT_TRUE(runsUnprivileged) << "cannot become the user nobody";
        ASSERT_NE(geteuid(), 0u);
        SaveTest::SetUp();
        m_folder = m_where + QStringLiteral("/Fraktal.jpg");
        ASSERT_TRUE(QDir().mkdir(m_folder));
    }
    void TearDown() override
    {
        setMode(m_folder, 0755);   // so that the temporary folder can go
        SaveTest::TearDown();
    }

    // The folder of the save holds the old files of rows 1 to `rows`; then it is made read-only.
    void oldFilesInReadOnlyFolder(int rows)
    {
        for (const SavedKeyframe &row : savedKeyframes)
            if (row.fileNumber <= rows)
                writeFile(savedKeyframePath(m_folder, row), "alt " + QByteArray::number(row.fileNumber));
        setMode(m_folder, 0555);
    }
    QByteArray oldBytes(int fileNumber) const { return "alt " + QByteArray::number(fileNumber); }

    QString m_folder;   // the folder the save writes into
};
}

TEST_F(SaveAsUser, DISABLED_ReadOnlyFolderOfWritableFilesIsWrittenInPlace)
{
    oldFilesInReadOnlyFolder(14);
    const ino_t before = inodeOf(savedKeyframePath(m_folder, savedKeyframes[0]));
    EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
    EXPECT_FALSE(m_leftOpen);
    expectAllSaved(m_folder);   // and no temporary file beside them
    EXPECT_EQ(inodeOf(savedKeyframePath(m_folder, savedKeyframes[0])), before);

    // Where the folder is writable, a file is still replaced as a whole by a new one.
    setMode(m_folder, 0755);
    EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
    expectAllSaved(m_folder);
    EXPECT_NE(inodeOf(savedKeyframePath(m_folder, savedKeyframes[0])), before);
}

TEST_F(SaveAsUser, DISABLED_SymlinkInAReadOnlyFolderWritesTheFileItNames)
{
    // The link points into another read-only folder, at a writable file.
    const QString elsewhere = m_temp.filePath(QStringLiteral("woanders"));
    ASSERT_TRUE(QDir().mkdir(elsewhere));
    const QString target = elsewhere + QStringLiteral("/Bild.jpg");
    writeFile(target, "alt");
    setMode(elsewhere, 0555);
    const QString link = savedKeyframePath(m_folder, savedKeyframes[2]);
    ASSERT_TRUE(QFile::link(target, link));
    oldFilesInReadOnlyFolder(14);   // leaves the link, which already exists, as it is

    EXPECT_EQ(saveThroughDialog(QStringLiteral("Fraktal")), QString());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(fileBytes(target), keyframeBytes(savedKeyframes[2].keyframe));
    expectAllSaved(m_folder);
    setMode(elsewhere, 0755);
}

TEST_F(SaveAsUser, DISABLED_ReadOnlyFileInAReadOnlyFolderStopsThereAndKeepsTheRest)
{
    oldFilesInReadOnlyFolder(14);
    const SavedKeyframe &fifth = savedKeyframes[4];
    setMode(savedKeyframePath(m_folder, fifth), 0444);
    const QString report = saveThroughDialog(QStringLiteral("Fraktal"));
    EXPECT_EQ(report,
              QStringLiteral("Datei %1 kann nicht erstellt werden.").arg(savedKeyframePath(m_folder, fifth)));
    EXPECT_TRUE(m_leftOpen);
    for (const SavedKeyframe &row : savedKeyframes) {
        const QByteArray expected =
            row.fileNumber < 5 ? keyframeBytes(row.keyframe) : oldBytes(row.fileNumber);
        EXPECT_EQ(fileBytes(savedKeyframePath(m_folder, row)), expected) << row.fileNumber;
    }
    EXPECT_EQ(entries(m_folder), savedNames());
}

TEST_F(SaveAsUser, DISABLED_MissingFileInAReadOnlyFolderCannotBeCreated)
{
    oldFilesInReadOnlyFolder(6);
    const QString report = saveThroughDialog(QStringLiteral("Fraktal"));
    EXPECT_EQ(report,
              QStringLiteral("Datei %1 kann nicht erstellt werden.")
                  .arg(savedKeyframePath(m_folder, savedKeyframes[6])));
    for (const SavedKeyframe &row : savedKeyframes) {
        if (row.fileNumber <= 6) {
            EXPECT_EQ(fileBytes(savedKeyframePath(m_folder, row)), keyframeBytes(row.keyframe))
                << row.fileNumber;
        }
    }
    EXPECT_EQ(entries(m_folder).size(), 6);
}

// Runs the cases above in a child process as an ordinary user and passes on what it found.
TEST(SaveWithoutPrivileges, ReadOnlyFoldersSymlinksAndPermissionsAsAnOrdinaryUser)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));   // a folder everyone may use
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=SaveAsUser.*"), QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.constData();
    EXPECT_EQ(child.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 4 tests.")) << output.constData();
}
