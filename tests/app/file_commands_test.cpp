// The file commands through the main window with stand-in views: the
// entries of the menus that always answer, cleaning the thumbnail folder,
// and the context menu (which entries may be chosen, where it opens, what
// each entry does, and its captions after the General Options dialog).
#include "app/file_commands.h"
#include "app/main_window.h"
#include "editor/editor_document.h"
#include "foundation/view_selection.h"
#include "main_window_test_fixture.h"
#include "temp_files.h"
#include "thumbs/thumbnail_store.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace velmora;
using velmora::testing::FileListOf;
using velmora::testing::ReadBytes;
using velmora::testing::RecordingDesktop;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class FileCommandsTest : public velmora::testing::MainWindowTest {};

TEST_F(FileCommandsTest, MenuEntriesAlwaysAnswer) {
    QDir(dir.path()).mkdir(u"HELP"_s);
    WriteBytes(dir.filePath(u"HELP/index.htm"_s), "<p>help</p>");
    auto w = OpenWindow();
    // General Options opens its dialog, tested with the context menu below.
    for (const QString &name :
         {u"BrowserOptions1"_s, u"Snapcurrenrfile1"_s, u"Removeoutdatedthumbs1"_s,
          u"Removeallthumbsfromdisk1"_s, u"UpdateChangedThumbs"_s}) {
        prompts.Clear();
        QAction *action = Entry(*w, name);
        ASSERT_NE(action, nullptr) << name.toStdString();
        action->trigger();
        EXPECT_EQ(prompts.Count(Kind::Info), 1) << name.toStdString();
    }
    // Cleaning the thumbnail folder: an orphan goes, a thumbnail of an
    // existing page stays, and the counts are reported.
    const QString thumbs = ProgramDir() + u"THUMBS/"_s;
    const QString folder = thumbs + dir.filePath(u"HELP"_s).replace(u'/', u'=') + u'/';
    QDir().mkpath(folder);
    WriteBytes(folder + u"index.htm.jpg"_s, "jpeg");
    WriteBytes(folder + u"gone.htm.jpg"_s, "jpeg");
    prompts.Clear();
    program->Config().DoValidate = true;
    Entry(*w, u"Removeoutdatedthumbs1"_s)->trigger();
    EXPECT_FALSE(program->Config().DoValidate); // as after every search
    EXPECT_EQ(prompts.Texts(Kind::Info),
              QStringList{u"2 thumbnails found.\n\n1 orphaned thumbnails removed."_s});
    EXPECT_TRUE(QFile::exists(folder + u"index.htm.jpg"_s));
    EXPECT_TRUE(w->isEnabled());
    prompts.Clear();
    Entry(*w, u"Removeallthumbsfromdisk1"_s)->trigger();
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"1 thumbnails removed."_s});
    EXPECT_FALSE(QDir(folder).exists());

    Entry(*w, u"Sh1"_s)->trigger();
    Entry(*w, u"VelmoraHompage1"_s)->trigger();
    ASSERT_EQ(desktop.urls.size(), 2);
    EXPECT_EQ(desktop.urls[0], QUrl::fromLocalFile(dir.filePath(u"HELP/index.htm"_s)));
    EXPECT_EQ(desktop.urls[1].scheme(), u"https"_s);

    QString aboutTitle;
    QTimer::singleShot(0, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            aboutTitle = box->windowTitle();
            box->close();
        }
    });
    Entry(*w, u"About2"_s)->trigger();
    EXPECT_EQ(aboutTitle, u"About -  Velmora v1.0b "_s);
}

constexpr int kJumpToFolder = 7;
constexpr int kApp1 = FirstAppItem + 1;

// Application 1 is a program with parameters, 2 is "(none)", 3 is gone.
QString ConfigureApplications(const QString &programDir) {
    const QString editor = programDir + u"bin/ed"_s;
    WriteBytes(editor, "#!/bin/sh\n");
    QFile::setPermissions(editor, QFile::permissions(editor) | QFile::ExeOwner);
    WriteBytes(programDir + u"prg.ini"_s, "[EDITOR1]\nLocation=" + editor.toUtf8() +
                                              "\nParam=-t \"My Site\"\nDescript=Ed\n"
                                              "[EDITOR3]\nLocation=/no/such/program\n");
    return editor;
}

// Opens the menu as a right click does and tells which entries are enabled.
std::vector<int> EnabledEntries(TForm1 &w) {
    w.Commands().PopUpContextMenu(w.mapToGlobal(QPoint(40, 40)));
    EXPECT_TRUE(w.Commands().ContextMenu()->isVisible());
    std::vector<int> on;
    for (int i = 0; i < kContextMenuSize; ++i)
        if (w.Commands().PopUpEntry(i)->isEnabled())
            on.push_back(i);
    w.Commands().ContextMenu()->close();
    return on;
}

// What a right click sends; the test platform turns no mouse click into it.
void RightClick(QWidget *widget, const QPoint &at) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &click);
}

TEST_F(FileCommandsTest, ContextMenuEntriesFollowTheSelectionTheTabAndTheApplications) {
    ConfigureApplications(ProgramDir());
    auto w = OpenWindow();
    const QString page = dir.filePath(u"site/a.htm"_s);
    EXPECT_EQ(w->Commands().ContextMenu()->objectName(), u"PopLBTree"_s);
    EXPECT_EQ(w->Commands().PopUpEntry(kApp1)->text(), u"Launch file with: Ed"_s);
    folder->Select(1, 3, page); // no jump on the Folder View; only application 1 exists
    EXPECT_EQ(EnabledEntries(*w), (std::vector<int>{0, 2, 3, 5, 6, kApp1}));
    folder->Select(2, 3);
    EXPECT_EQ(EnabledEntries(*w), (std::vector<int>{2, 3, 5, 6}));
    folder->Select(0, 3);
    EXPECT_EQ(EnabledEntries(*w), std::vector<int>{});

    lists->Select(1, 1, page);
    w->Pages()->setCurrentIndex(TForm1::TabTree);
    EXPECT_EQ(EnabledEntries(*w), (std::vector<int>{0, 2, 3, 5, 6, kJumpToFolder, kApp1}));
    w->Commands().SetViewerModal(true);
    EXPECT_EQ(EnabledEntries(*w), std::vector<int>{});
    // Chosen without the menu opening, as assistive tools may: still nothing.
    w->Commands().PopUpEntry(0)->trigger();
    w->Commands().PopUpEntry(kApp1)->trigger();
    EXPECT_TRUE(desktop.urls.isEmpty());
    EXPECT_TRUE(desktop.starts.isEmpty());
}

// A right click, the Menu key and Shift+F10 open the menu on the file list
// and the thumbnail corner; on the list it opens where the click was, given
// in the coordinates of the list's viewport.
TEST_F(FileCommandsTest, ContextMenuOpensOnTheFileListAndTheThumbnailCorner) {
    const auto window = OpenWindowWithItsOwnViews();
    QListView *list = FileListOf(*window);
    QMenu *menu = window->Commands().ContextMenu();
    RightClick(window->findChild<QWidget *>(u"ImgMini"_s), QPoint(5, 5));
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    RightClick(list->viewport(), QPoint(30, 20));
    ASSERT_TRUE(menu->isVisible());
    const QPoint clicked = list->viewport()->mapToGlobal(QPoint(30, 20));
    EXPECT_EQ(menu->geometry().top(), clicked.y());
    EXPECT_LE(std::abs(menu->geometry().center().x() - clicked.x()), 1);
    menu->close();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              list->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list, &menuKey);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    QTest::keyClick(list, Qt::Key_F10);
    EXPECT_FALSE(menu->isVisible());
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(FileCommandsTest, ContextMenuCommandsActOnTheCurrentFile) {
    const QString editor = ConfigureApplications(ProgramDir());
    const QString page = dir.filePath(u"site/a.htm"_s);
    WriteBytes(page, "<p>");
    auto w = OpenWindow();
    folder->Select(1, 1, page);
    w->Commands().PopUpEntry(0)->trigger();
    EXPECT_EQ(desktop.urls, QList<QUrl>{QUrl::fromLocalFile(page)});
    for (int later : {2, 3}) // no thumbnails without a rendering engine
        w->Commands().PopUpEntry(later)->trigger();
    EXPECT_EQ(prompts.Count(Kind::Info), 2);
    // "Create Snapshot(s)" opens the snapshot options for the current file.
    QString snapshotCaption;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        snapshotCaption = modal->windowTitle();
        modal->close();
    });
    w->Commands().PopUpEntry(5)->trigger();
    EXPECT_EQ(snapshotCaption, u"Snapshot Options - (File: "_s + page + u")"_s);
    EXPECT_EQ(prompts.Count(Kind::Info), 2);
    // Copying the one current file opens the save dialog on it.
    w->Commands().PopUpEntry(6)->trigger();
    ASSERT_EQ(prompts.Count(Kind::SaveFile), 1);
    EXPECT_EQ(prompts.calls.last().dir, page);

    // Unsaved changes are asked about first; Cancel launches nothing.
    const int askedBefore = document.asked;
    document.answer = SaveChangesReply::Cancel;
    w->Commands().PopUpEntry(kApp1)->trigger();
    EXPECT_TRUE(desktop.starts.isEmpty());
    document.answer = SaveChangesReply::No;
    w->Commands().PopUpEntry(kApp1)->trigger();
    EXPECT_EQ(document.asked, askedBefore + 2);
    const QList<QStringList> launched{{editor, u"-t"_s, u"My Site"_s, page}};
    EXPECT_EQ(desktop.starts, launched);
    folder->Select(0, 1); // the file is no longer current when chosen
    w->Commands().PopUpEntry(kApp1)->trigger();
    EXPECT_EQ(desktop.starts.size(), 1);

    prompts.Clear();
    lists->Select(1, 1, page);
    w->Pages()->setCurrentIndex(TForm1::TabTree);
    w->Commands().PopUpEntry(kJumpToFolder)->trigger();
    EXPECT_EQ(w->Pages()->currentIndex(), TForm1::TabFile);
    EXPECT_EQ(w->Context().Folder(), dir.filePath(u"site/"_s));
    const QString gone = dir.filePath(u"old site/page.htm"_s);
    lists->Select(1, 1, gone);
    w->Pages()->setCurrentIndex(TForm1::TabTree);
    w->Commands().PopUpEntry(kJumpToFolder)->trigger();
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"Folder \""_s + gone + u"\" not found."_s});
}

TEST_F(FileCommandsTest, ConfirmedGeneralOptionsRecaptionTheEntriesAndApplyHintsAndIcons) {
    auto w = OpenWindow();
    const std::optional<bool> &icons = folder->icons;
    const auto runDialog = [&](const char *button, const QString &description) {
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), u"General Options"_s);
            dialog->findChild<QLineEdit *>(u"EDescr1"_s)->setText(description);
            dialog->findChild<QCheckBox *>(u"CBShowHints"_s)->setChecked(false);
            dialog->findChild<QCheckBox *>(u"CBDoShowFileIcons"_s)->setChecked(false);
            dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
        });
        Entry(*w, u"GeneralOptions1"_s)->trigger();
    };
    runDialog("BCancel", u"Other"_s);
    EXPECT_EQ(w->Commands().PopUpEntry(kApp1)->text(),
              u"Launch file with: External Application 1"_s);
    EXPECT_FALSE(icons.has_value());
    EXPECT_FALSE(folder->widget.toolTip().isEmpty());

    runDialog("BOK", u"Tom & Jerry"_s);
    EXPECT_EQ(w->Commands().PopUpEntry(kApp1)->text(), u"Launch with: Tom && Jerry"_s);
    EXPECT_EQ(w->Commands().PopUpEntry(FirstAppItem + 6)->text(),
              u"Launch with: External Application 6"_s);
    EXPECT_EQ(icons, std::optional<bool>(false));
    EXPECT_TRUE(folder->widget.toolTip().isEmpty());
}

// ---- the commands without the main window -----------------------------------

// The active view as the commands see it: the test sets its tab, its entries,
// which of them are selected and the current file.
class SelectionDouble final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return current; }
    TSelectionInfo GetSelectionInfo() const override {
        return {page, int(selected.size()), int(files.size())};
    }
    QStringList SelectedFiles() const override { return {}; }
    QString GetViewFile(int i, bool selectedOnly) const override {
        return selectedOnly && !selected.contains(i) ? QString() : files.value(i);
    }
    int page = PageFolderView;
    QStringList files;
    QList<int> selected;
    QString current;
};

// Any window will do: what the commands need of the main window they ask
// through their signals.
class FileCommandsAloneTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm"}) {
            selection.files << dir.filePath(u"site/"_s + QLatin1StringView(name));
            WriteBytes(selection.files.back(), name);
        }
        program.Start(QSize(1000, 800));
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    Program program{ProgramFolders::At(dir.path()), prompts};
    EditorDocument document{prompts};
    ThumbnailStore store{program.Folders().ThumbDir, 10};
    SelectionDouble selection;
    QWidget window;
    FileCommands commands{
        FileCommandsServices{program, prompts, prompts, desktop, selection, document, store},
        window};
};

TEST_F(FileCommandsAloneTest, ADeletionTellsTheTabAndTheLastIndexDeleted) {
    QSignalSpy deleted(&commands, &FileCommands::filesDeleted);
    commands.DeleteSelectedFiles(); // nothing selected: nothing asked
    EXPECT_TRUE(prompts.calls.isEmpty());

    selection.page = PageThumbnailView;
    selection.selected = {1, 3};
    prompts.yesNoCancelAnswers = {Answer::Yes};
    commands.DeleteSelectedFiles();
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted[0], (QVariantList{int(PageThumbnailView), 3}));
    EXPECT_TRUE(QFile::exists(selection.files[0]));
    EXPECT_FALSE(QFile::exists(selection.files[1]));
    EXPECT_TRUE(QFile::exists(selection.files[2]));
    EXPECT_FALSE(QFile::exists(selection.files[3]));

    // Anything but Yes deletes nothing and tells nothing.
    selection.selected = {0};
    commands.DeleteSelectedFiles();
    EXPECT_EQ(deleted.size(), 1);
    EXPECT_TRUE(QFile::exists(selection.files[0]));
}

// The one selected entry is copied though the caret is elsewhere; the
// window hears of the copy only when one was made.
TEST_F(FileCommandsAloneTest, ACopyOfOneFileNamesTheCopy) {
    QSignalSpy copied(&commands, &FileCommands::fileCopied);
    selection.selected = {2};
    const QString target = dir.filePath(u"out/copy.htm"_s);
    QDir().mkpath(dir.filePath(u"out"_s));
    prompts.fileAnswers = {QString(), target};
    commands.CopySelectedFiles(); // the dialog cancelled
    EXPECT_TRUE(copied.isEmpty());
    commands.CopySelectedFiles();
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(copied[0][0].toString(), target);
    EXPECT_EQ(ReadBytes(target), "c.htm");
    EXPECT_EQ(prompts.calls.last().dir, selection.files[2]);
}

TEST_F(FileCommandsAloneTest, JumpToFolderAsksTheWindowOnlyForAFolderThatExists) {
    QSignalSpy jumps(&commands, &FileCommands::jumpRequested);
    selection.page = PageFileLists;
    selection.selected = {0};
    selection.current = selection.files[0];
    commands.PopUpEntry(kJumpToFolder)->trigger();
    ASSERT_EQ(jumps.size(), 1);
    EXPECT_EQ(jumps[0][0].toString(), selection.files[0]);

    selection.current = dir.filePath(u"gone/page.htm"_s);
    commands.PopUpEntry(kJumpToFolder)->trigger();
    EXPECT_EQ(jumps.size(), 1);
    EXPECT_EQ(prompts.Count(Kind::Info), 1);
}

} // namespace
