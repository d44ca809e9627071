// Deleting and copying files through the main window: the Delete keys of the
// file list and the thumbnail grid, the context menu's "Copy file(s) to",
// what reaches the disk, where the caret goes and what COPYPATH becomes.
#include "app/main_window.h"
#include "editor/editor_document.h"
#include "foundation/desktop_services.h"
#include "foundation/file_utils.h"
#include "foundation/settings.h"
#include "main_window_fixture.h"
#include "temp_files.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::MainWindowFixture;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::SetModified;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

struct ProgressLog {
    bool shown = false;
    bool closed = false;
    bool mainWindowEnabledWhileShown = true;
    QStringList texts;
};

class ProgressDouble final : public ProgressWindow {
public:
    ProgressDouble(ProgressLog &log, QWidget *mainWindow) : log_(log), main_(mainWindow) {}
    void InitProgBar(int) override {}
    void Show() override { log_.shown = true; }
    void SetText(const QString &text) override {
        log_.texts << text;
        log_.mainWindowEnabledWhileShown &= main_->isEnabled();
    }
    void Step() override {}
    bool StopRequested() const override { return false; }
    void Close() override { log_.closed = true; }

private:
    ProgressLog &log_;
    QWidget *main_;
};

class MainWindowFileOperationsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"})
            Page(QString::fromLatin1(name));
        MainWindowServices services = Services(nullptr, &document);
        services.progressWindows = [this]() -> std::unique_ptr<ProgressWindow> {
            return std::make_unique<ProgressDouble>(progress, window.get());
        };
        window = MakeWindow(services);
        window->JumpToFileAndFolder(Site(u"a.htm"_s));
    }

    QString Page(const QString &name, const QByteArray &bytes = "page") {
        return WriteSite(name, bytes);
    }
    QStringList Names() const {
        QStringList names;
        for (int i = 0; i < FileList()->model()->rowCount(); ++i)
            names << FileList()->model()->index(i, 0).data().toString();
        return names;
    }
    void SelectRows(QAbstractItemView *view, const QList<int> &rows) {
        view->setFocus();
        view->clearSelection();
        for (const int row : rows)
            view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                    QItemSelectionModel::Select);
    }
    void CopyFromContextMenu() { window->findChild<QAction *>(u"PopLBTreeItem6"_s)->trigger(); }
    Settings &Config() { return program->Config(); }

    EditorDocument document{prompts};
    ProgressLog progress;
};

TEST_F(MainWindowFileOperationsTest, DeleteKeyDeletesTheSelectedFilesAndPlacesTheCaret) {
    SelectRows(FileList(), {1, 4});
    prompts.yesNoCancelAnswers = {Answer::Yes};
    QTest::keyClick(FileList(), Qt::Key_Delete);

    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel),
              QStringList{u"CAUTION:\n--- File(s) will not be moved to the trash! ---\n\n\n"
                          u"Delete 2 files permanently from disk?\n\n"_s});
    EXPECT_FALSE(QFileInfo::exists(Site(u"b.htm"_s)));
    EXPECT_FALSE(QFileInfo::exists(Site(u"e.htm"_s)));
    EXPECT_EQ(Names(), (QStringList{u"a.htm"_s, u"c.htm"_s, u"d.htm"_s}));
    // The last deleted index was 4; the list is shorter, so the last entry.
    EXPECT_EQ(FileList()->currentIndex().row(), 2);
    EXPECT_FALSE(FileList()->selectionModel()->hasSelection());
    EXPECT_FALSE(Config().DoRecycleBin);
    EXPECT_TRUE(prompts.Texts(Kind::Error).isEmpty());
}

TEST_F(MainWindowFileOperationsTest, OneFileIsNamedAndAnythingButYesKeepsIt) {
    SelectRows(FileList(), {2});
    for (const Answer answer : {Answer::No, Answer::Cancel}) {
        prompts.yesNoCancelAnswers = {answer};
        QTest::keyClick(FileList(), Qt::Key_Delete);
    }
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 2);
    EXPECT_TRUE(prompts.Texts(Kind::YesNoCancel)[0].endsWith(
        u"Delete file \""_s + Site(u"c.htm"_s) + u"\" permanently from disk?\n\n"_s));
    EXPECT_EQ(Names().size(), 5);
    EXPECT_TRUE(Config().DoRecycleBin);
}

TEST_F(MainWindowFileOperationsTest, DeleteKeyOfTheThumbnailGrid) {
    window->Pages()->setCurrentIndex(TForm1::TabThumb);
    auto *grid = window->findChild<QAbstractItemView *>(u"TabThumb"_s);
    ASSERT_NE(grid, nullptr);
    SelectRows(grid, {0});
    prompts.yesNoCancelAnswers = {Answer::Yes};
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(Site(u"a.htm"_s)));
    EXPECT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(Names().size(), 4);
}

class CopyThreeFilesTest : public MainWindowFileOperationsTest {
protected:
    void SetUp() override {
        MainWindowFileOperationsTest::SetUp();
        target = dir.filePath(u"out/"_s);
        WriteBytes(target + u"b.htm"_s, "old");
        SelectRows(FileList(), {0, 1, 2});
        prompts.fileAnswers = {target};
    }
    QString target;
};

TEST_F(CopyThreeFilesTest, NoSkipsTheExistingSecondFile) {
    const QString before = Config().CopyPath;
    prompts.yesNoCancelAnswers = {Answer::Yes, Answer::No};
    CopyFromContextMenu();
    EXPECT_EQ(ReadBytes(target + u"a.htm"_s), "page");
    EXPECT_EQ(ReadBytes(target + u"b.htm"_s), "old");
    EXPECT_EQ(ReadBytes(target + u"c.htm"_s), "page");
    EXPECT_EQ(Config().CopyPath, target);
    ASSERT_EQ(prompts.Count(Kind::Folder), 1);
    EXPECT_EQ(prompts.calls[0].dir, before);
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel)[0], u"Copy 3 file(s) to folder:\n\n"_s + target);
    EXPECT_TRUE(progress.shown && progress.closed);
    EXPECT_FALSE(progress.mainWindowEnabledWhileShown);
    EXPECT_EQ(progress.texts.size(), 3);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(CopyThreeFilesTest, CancelCopiesOnlyTheFirst) {
    prompts.yesNoCancelAnswers = {Answer::Yes, Answer::Cancel};
    CopyFromContextMenu();
    EXPECT_EQ(ReadBytes(target + u"a.htm"_s), "page");
    EXPECT_EQ(ReadBytes(target + u"b.htm"_s), "old");
    EXPECT_FALSE(QFileInfo::exists(target + u"c.htm"_s));
    EXPECT_EQ(Config().CopyPath, target);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(CopyThreeFilesTest, NoToTheFirstQuestionCopiesNothing) {
    const QString before = Config().CopyPath;
    prompts.yesNoCancelAnswers = {Answer::No};
    CopyFromContextMenu();
    EXPECT_FALSE(QFileInfo::exists(target + u"a.htm"_s));
    EXPECT_EQ(Config().CopyPath, before);
    EXPECT_FALSE(progress.shown);
}

TEST_F(MainWindowFileOperationsTest, OneFileCopiedIntoTheShownFolderGetsTheCaret) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1'200'000'000'250);
    SetModified(Site(u"b.htm"_s), when);
    const QString before = Config().CopyPath;
    SelectRows(FileList(), {1});
    prompts.fileAnswers = {Site(u"bb.htm"_s)};
    CopyFromContextMenu();
    ASSERT_EQ(prompts.Count(Kind::SaveFile), 1);
    EXPECT_EQ(prompts.calls[0].dir, Site(u"b.htm"_s));
    EXPECT_EQ(FileStamp(Site(u"bb.htm"_s)), when.toMSecsSinceEpoch());
    EXPECT_EQ(Names()[2], u"bb.htm"_s);
    EXPECT_EQ(FileList()->currentIndex().row(), 2);
    EXPECT_EQ(Config().CopyPath, before);
}

TEST_F(MainWindowFileOperationsTest, OneFileOntoItselfInOtherLetterCaseIsRefused) {
    SelectRows(FileList(), {0});
    prompts.fileAnswers = {Site(u"a.htm"_s).toUpper()};
    CopyFromContextMenu();
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"Cannot copy a file to itself ..."_s});
    EXPECT_EQ(Names().size(), 5);
}

} // namespace
