#include "app/main_window.h"
#include "editor/editor_document.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/file_lists_page.h"
#include "foundation/desktop_services.h"
#include "foundation/file_utils.h"
#include "foundation/ini_file.h"
#include "main_window_test_fixture.h"
#include "pictures/jpeg_codec.h"
#include "temp_files.h"
#include "thumbs/thumbnail_names.h"
#include "unusual_files.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <optional>

using namespace velmora;
using velmora::testing::FakeDocument;
using velmora::testing::FileListOf;
using velmora::testing::MainWindowTest;
using velmora::testing::ScriptedPrompts;
using Kind = ScriptedPrompts::Kind;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;
namespace {

// The Extras menu of the menu bar.
QMenu *ExtrasMenu(TForm1 &w) {
    return w.findChild<QMenu *>(u"SnapShot1"_s);
}

// What the tests do with the Folder View's file list.
int RowCount(const QListView *list) {
    return list->model()->rowCount();
}

QStringList Names(const QListView *list) {
    QStringList names;
    for (int i = 0; i < RowCount(list); ++i)
        names << list->model()->index(i, 0).data().toString();
    return names;
}

// As a click on the row would: the caret goes there and selects it alone.
void SetCurrentRow(QListView *list, int row) {
    list->setCurrentIndex(list->model()->index(row, 0));
}

bool NothingSelected(const QListView *list) {
    return !list->selectionModel()->hasSelection();
}

TEST_F(MainWindowTest, FirstStartUsesDefaultsAndClosingWritesACompleteFile) {
    {
        auto w = OpenWindow();
        EXPECT_TRUE(QDir(ProgramDir() + u"THUMBS"_s).exists());
        EXPECT_TRUE(QDir(ProgramDir() + u"FILELISTS"_s).exists());
        auto *filter = w->findChild<QComboBox *>(u"CBFilter"_s);
        ASSERT_NE(filter, nullptr);
        EXPECT_EQ(filter->count(), 8);
        EXPECT_EQ(filter->currentText(), u"All HTML file types + Pictures"_s);
        EXPECT_EQ(w->windowTitle(), u" Velmora v1.0b "_s);
        EXPECT_EQ(w->Status().HintText(),
                  u"Welcome to Velmora - Please open a HTML file folder ..."_s);
        EXPECT_FALSE(QFile::exists(IniPath())); // written once, at the end
        Entry(*w, u"Close1"_s)->trigger();
        EXPECT_FALSE(w->isVisible());
    }
    const QStringList lines = IniLines();
    QStringList sections, optionKeys;
    QString section;
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            section = line;
            sections << line;
        } else if (section == u"[OPTIONS]"_s) {
            optionKeys << line.section(u'=', 0, 0);
        }
    }
    EXPECT_EQ(sections, (QStringList{u"[OPTIONS]"_s, u"[POSITION_MAIN]"_s, u"[COLORS]"_s,
                                     u"[THUMBS]"_s, u"[PATHS]"_s, u"[EDITOR1]"_s, u"[EDITOR2]"_s,
                                     u"[EDITOR3]"_s, u"[EDITOR4]"_s, u"[EDITOR5]"_s, u"[EDITOR6]"_s,
                                     u"[Columns]"_s, u"[Sort]"_s}));
    EXPECT_EQ(
        optionKeys,
        (QStringList{u"StyleName"_s, u"PopUpStyleName"_s, u"BackupExt"_s, u"DoCreateBackUps"_s,
                     u"DoValidate"_s, u"LastSearch"_s, u"LastReplace"_s, u"ALLOWED_EXTENSIONS"_s,
                     u"DoShowFileIcons"_s, u"DoRecycleBin"_s, u"DoShowHints"_s,
                     u"DoOpenOnSingleClick"_s, u"CACHE_MAX"_s, u"DoShowLineNumbers"_s}));
    EXPECT_TRUE(lines.contains(u"VIEW_PATH="_s + ProgramDir()));
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// A size stored on a larger screen would put the menu bar and the window's
// buttons out of reach: the window opens no larger than the screen, centred.
TEST_F(MainWindowTest, AStoredSizeLargerThanTheScreenIsCutToTheScreen) {
    WriteBytes(IniPath(), "[POSITION_MAIN]\nTop=-3000\nLeft=90000\nWidth=5000\nHeight=4000\n");
    auto w = OpenWindow();
    const QRect screen = w->screen()->availableGeometry();
    ASSERT_LT(screen.width(), 5000);
    EXPECT_LE(w->frameGeometry().width(), screen.width());
    EXPECT_LE(w->frameGeometry().height(), screen.height());
    EXPECT_TRUE(screen.contains(w->frameGeometry().center()));
    EXPECT_GE(w->x(), screen.left());
    EXPECT_GE(w->y(), screen.top());
}

TEST_F(MainWindowTest, StoredStyleColoursAndThumbFolderAreNotKept) {
    QDir(dir.path()).mkpath(u"THUMBS/=web/"_s);
    QDir(dir.path()).mkpath(u"STYLES/THUMBS"_s);
    WriteBytes(dir.filePath(u"STYLES/THUMBS/options.ini"_s), "[OPTIONS]\nLineSize=61\n");
    WriteBytes(dir.filePath(u"tagsyntax.txt"_s), "<B>: <B>bold</B>\r\n<I>: <I>italic</I>\r\n");
    WriteBytes(IniPath(), "[OPTIONS]\nStyleName=MYSTYLE\n[COLORS]\nTagCol=255\n[PATHS]\n"
                          "VIEW_PATH=" +
                              (ProgramDir() + u"THUMBS/=web/"_s).toUtf8() + "\n");
    StartProgram();
    EXPECT_EQ(program->Config().TagCol, 255);
    EXPECT_EQ(program->Config().ViewPath, ProgramDir() + u"THUMBS/=web/"_s);
    {
        auto w = OpenWindow();
        EXPECT_EQ(program->Config().StyleName, u"THUMBS"_s);
        EXPECT_EQ(w->Preview().Syntax().StyleFolder(), ProgramDir() + u"STYLES/THUMBS/"_s);
        EXPECT_EQ(w->Preview().Syntax().Style().Options.LineSize,
                  61); // the style is loaded from there
        EXPECT_EQ(w->Preview().Syntax().TagSyntaxList().size(), 2);
    }
    const QStringList lines = IniLines();
    EXPECT_TRUE(lines.contains(u"StyleName=THUMBS"_s));
    EXPECT_TRUE(lines.contains(u"TagCol=16711680"_s));
    EXPECT_TRUE(lines.contains(u"VIEW_PATH="_s + ProgramDir()));
}

// A stored style that is among the style folders is loaded at start and kept;
// choosing another in General Options loads it at once.
TEST_F(MainWindowTest, TheStoredFormatterStyleIsLoadedAndKept) {
    for (const char *name : {"THUMBS", "HTML5"}) {
        QDir(dir.path()).mkpath(u"STYLES/"_s + QLatin1String(name));
        WriteBytes(dir.filePath(u"STYLES/%1/options.ini"_s.arg(QLatin1String(name))),
                   "[OPTIONS]\nLineSize=" + QByteArray(name[0] == 'H' ? "70" : "61") + "\n");
    }
    WriteBytes(IniPath(), "[OPTIONS]\nStyleName=HTML5\n");
    StartProgram();
    {
        auto w = OpenWindow();
        EXPECT_EQ(w->Preview().Syntax().StyleFolder(), ProgramDir() + u"STYLES/HTML5/"_s);
        EXPECT_EQ(w->Preview().Syntax().Style().Options.LineSize, 70);
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            auto *styles = dialog->findChild<QComboBox *>(u"CBStyleName"_s);
            ASSERT_NE(styles, nullptr);
            EXPECT_EQ(styles->currentText(), u"HTML5"_s);
            EXPECT_EQ(styles->count(), 2);
            styles->setCurrentText(u"THUMBS"_s);
            dialog->findChild<QPushButton *>(u"BOK"_s)->click();
        });
        Entry(*w, u"GeneralOptions1"_s)->trigger();
        EXPECT_EQ(w->Preview().Syntax().StyleFolder(), ProgramDir() + u"STYLES/THUMBS/"_s);
        EXPECT_EQ(w->Preview().Syntax().Style().Options.LineSize, 61);
    }
    EXPECT_TRUE(IniLines().contains(u"StyleName=THUMBS"_s));
}

TEST_F(MainWindowTest, MissingStartFolderFallsBackToTheProgramFolder) {
    WriteBytes(IniPath(), "[PATHS]\nVIEW_PATH=/no/such/folder/\n");
    StartProgram();
    EXPECT_EQ(program->Config().ViewPath, ProgramDir());
}

TEST_F(MainWindowTest, BadSettingsFilesStartWithDefaults) {
    QRandomGenerator random(7);
    QByteArray noise(4096, Qt::Uninitialized);
    for (char &c : noise)
        c = char(random.bounded(256));
    for (const QByteArray &content : {noise, QByteArray(10 * 1024 * 1024, 'x')}) {
        WriteBytes(IniPath(), content);
        StartProgram();
        EXPECT_EQ(program->Config().Width, 800);
        EXPECT_EQ(program->Config().AllowedExtensions, DefaultFilterDefinition());
        program.reset();
    }
}

TEST_F(MainWindowTest, UnwritableSettingsFileGivesOneErrorBoxNamingIt) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"prg.ini"_s)); // can be neither read nor written
    {
        auto w = OpenWindow();
        EXPECT_EQ(program->Config().CacheMax, 200);
        w->close();
    }
    ASSERT_EQ(prompts.Count(Kind::Error), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Error).first().contains(IniPath()));
}

// A prg.ini that is a FIFO or a link to a device starts with the defaults
// (no hang), is left as it is at close, and the close reports it once. A
// link to a regular file elsewhere is written there and stays a link.
TEST_F(MainWindowTest, SettingsFilesThatAreNoRegularFiles) {
    using namespace std::chrono_literals;
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "device link");
        QFile::remove(IniPath());
        QFile::remove(dir.filePath(u"device"_s));
        if (fifo) {
            velmora::testing::MakeFifo(IniPath());
        } else {
            velmora::testing::MakeEndlessDevice(dir.filePath(u"device"_s));
            ASSERT_TRUE(QFile::link(dir.filePath(u"device"_s), IniPath()));
        }
        ASSERT_TRUE(velmora::testing::FinishesWithin(15s, [&] { StartProgram(); }));
        EXPECT_EQ(program->Config().CacheMax, 200);
        prompts.Clear();
        {
            auto w = OpenWindow();
            w->close();
        }
        EXPECT_EQ(prompts.Count(Kind::Error), 1);
        EXPECT_TRUE(velmora::testing::IsCharacterDeviceOrFifo(fifo ? IniPath()
                                                                   : dir.filePath(u"device"_s)));
        program.reset();
    }

    QFile::remove(IniPath());
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath(u"my-settings.ini"_s);
    WriteBytes(real, "[OPTIONS]\nCACHE_MAX=7\nMyOwnKey=kept\n");
    ASSERT_TRUE(QFile::link(real, IniPath()));
    StartProgram();
    EXPECT_EQ(program->Config().CacheMax, 7);
    prompts.Clear();
    OpenWindow().reset();
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_TRUE(QFileInfo(IniPath()).isSymLink());
    const QByteArray written = velmora::testing::ReadBytes(real);
    EXPECT_TRUE(written.contains("MyOwnKey=kept"));
    EXPECT_TRUE(written.contains("[EDITOR6]"));
}

TEST_F(MainWindowTest, TabCaptionsCountTheActiveViewsSelection) {
    auto w = OpenWindow();
    QTabWidget *pages = w->Pages();
    folder->Select(2, 7, u"/site/a.htm"_s);
    EXPECT_EQ(pages->tabText(0), u"Folder View  (2 of 7 files selected)"_s);
    EXPECT_EQ(pages->tabText(1), u"Thumbnail View"_s);
    EXPECT_EQ(pages->tabText(2), u"File Lists"_s);
    EXPECT_TRUE(ExtrasMenu(*w)->isEnabled());
    EXPECT_EQ(w->Status().HintText(), u"/site/a.htm"_s);

    folder->Select(0, 7);
    EXPECT_FALSE(ExtrasMenu(*w)->isEnabled());
    EXPECT_FALSE(ExtrasMenu(*w)->menuAction()->isEnabled());

    thumbs->Select(1, 3, u"/site/b.htm"_s);
    pages->setCurrentIndex(TForm1::TabThumb);
    EXPECT_EQ(pages->tabText(0), u"Folder View"_s);
    EXPECT_EQ(pages->tabText(1), u"Thumbnail View  (1 of 3 files selected)"_s);
    EXPECT_TRUE(ExtrasMenu(*w)->isEnabled());
    EXPECT_EQ(w->Selection().GetCurrentFile(), u"/site/b.htm"_s);
    const TSelectionInfo info = w->Selection().GetSelectionInfo();
    EXPECT_EQ(info.Page, int(TForm1::TabThumb));
    EXPECT_EQ(info.SelCount, 1);
    EXPECT_EQ(info.Count, 3);

    pages->setCurrentIndex(TForm1::TabTree);
    EXPECT_EQ(pages->tabText(1), u"Thumbnail View"_s);
    EXPECT_EQ(pages->tabText(2), u"File Lists  (0 of 0 files selected)"_s);
    EXPECT_FALSE(ExtrasMenu(*w)->isEnabled());
}

// A list that puts its caret on the first row as it gets the focus reports a
// change that shows nothing new: the welcome text stays until the user picks
// something.
TEST_F(MainWindowTest, TheWelcomeTextStaysUntilTheSelectionChanges) {
    auto w = OpenWindow();
    const QString welcome = u"Welcome to Velmora - Please open a HTML file folder ..."_s;
    ASSERT_EQ(w->Status().HintText(), welcome);
    folder->Select(0, 0);
    EXPECT_EQ(w->Status().HintText(), welcome);

    folder->Select(1, 3, u"/site/a.htm"_s);
    EXPECT_EQ(w->Status().HintText(), u"/site/a.htm"_s);
    folder->Select(0, 3);
    EXPECT_EQ(w->Status().HintText(), QString());
    EXPECT_EQ(w->Pages()->tabText(0), u"Folder View  (0 of 3 files selected)"_s);
}

TEST_F(MainWindowTest, CancelKeepsTheTabAndTheProgram) {
    auto w = OpenWindow();
    document.answer = SaveChangesReply::Cancel;
    w->Pages()->setCurrentIndex(TForm1::TabThumb);
    EXPECT_EQ(w->Pages()->currentIndex(), TForm1::TabFile);
    EXPECT_EQ(document.asked, 1);

    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(document.asked, 2);

    document.answer = SaveChangesReply::No;
    w->Pages()->setCurrentIndex(TForm1::TabThumb);
    EXPECT_EQ(w->Pages()->currentIndex(), TForm1::TabThumb);
    w->Pages()->setCurrentIndex(TForm1::TabTree); // only leaving Folder View asks
    EXPECT_EQ(document.asked, 3);
    EXPECT_TRUE(w->close());
}

TEST_F(MainWindowTest, ReturningAfterAnOutsideChangeAsksOnce) {
    const QString page = dir.filePath(u"page.htm"_s);
    WriteBytes(page, "<p>");
    auto w = OpenWindow();
    folder->Select(1, 1, page);
    FakeDocument &state = document;
    state.SetFileForTest(page, FileStamp(page));
    w->Preview().AppActivate();
    EXPECT_EQ(prompts.Count(Kind::YesNo), 0); // unchanged: nothing asked

    state.SetFileTime(state.FileTime() - 5000);
    prompts.yesNoAnswers = {false};
    w->Preview().AppActivate();
    ASSERT_EQ(prompts.Count(Kind::YesNo), 1);
    EXPECT_EQ(prompts.Texts(Kind::YesNo).first(),
              u"File: "_s + page +
                  u"\n has been changed by another application.\n\nReload from disk?"_s);
    EXPECT_EQ(document.reloads, 0);
    w->Preview().AppActivate();
    EXPECT_EQ(prompts.Count(Kind::YesNo), 1);

    state.SetFileTime(state.FileTime() - 5000);
    prompts.yesNoAnswers = {true};
    w->Preview().AppActivate();
    EXPECT_EQ(document.reloads, 1);
}

// A drop the window refuses changes nothing, so the page named on the
// command line is still opened, selected, at the first activation.
TEST_F(MainWindowTest, ARefusedDropLeavesTheCommandLinePageToTheFirstActivation) {
    QDir(dir.path()).mkpath(u"site"_s);
    const QString index = dir.filePath(u"site/index.htm"_s);
    WriteBytes(index, "<p>");
    WriteBytes(dir.filePath(u"site/notes.txt"_s), "text");
    StartProgram();
    MainWindowServices services{*program, prompts, prompts, desktop, nullptr, &document};
    services.arguments = QStringList{index};
    TForm1 w(services);
    w.show();
    ASSERT_TRUE(w.StartingUp());
    w.Start().DropFiles({dir.filePath(u"site/notes.txt"_s)});
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_EQ(w.Context().Folder(), dir.filePath(u"site/"_s));
    EXPECT_EQ(w.Selection().GetCurrentFile(), index);
}

// Files dropped onto the window: the first name alone decides, the others
// are kept until the next drop.
TEST_F(MainWindowTest, DroppedFilesOpenTheFolderOfTheFirstAcceptedOne) {
    QDir(dir.path()).mkpath(u"site/sub"_s);
    for (const char *name : {"site/sub/index.html", "site/a.htm", "site/notes.txt"})
        WriteBytes(dir.filePath(QString::fromLatin1(name)), "<p>");
    auto w = OpenWindow();
    const auto drop = [&](const QStringList &paths) {
        QStringList names;
        for (const QString &path : paths)
            names << dir.filePath(path);
        w->Start().DropFiles(names);
    };
    EXPECT_TRUE(w->acceptDrops());
    drop({u"site/sub/index.html"_s, u"site/a.htm"_s, u"site/notes.txt"_s});
    EXPECT_EQ(w->Context().Folder(), dir.filePath(u"site/sub/"_s));
    EXPECT_EQ(w->Start().DroppedFiles().size(), 3);
    EXPECT_TRUE(prompts.calls.isEmpty());

    for (const QString &refused : {u"site/notes.txt"_s, u"site"_s}) {
        prompts.Clear();
        drop({refused, u"site/a.htm"_s});
        EXPECT_EQ(prompts.Count(Kind::Beep), 1) << refused.toStdString();
        EXPECT_EQ(prompts.Texts(Kind::Info),
                  QStringList{u"Velmora:\nFile not accepted.\n"_s + dir.filePath(refused)});
        EXPECT_EQ(w->Context().Folder(), dir.filePath(u"site/sub/"_s)); // nothing else changes
        EXPECT_EQ(w->Start().DroppedFiles(),
                  (QStringList{dir.filePath(refused), dir.filePath(u"site/a.htm"_s)}));
    }
}

// A drop lands on whatever control is under the pointer. The browser and the
// editor would take it themselves (the editor inserting the names a file
// manager sends as text); on any part of the window it is the window's drop.
TEST_F(MainWindowTest, FilesDroppedOnAControlThatTakesDropsAreTheWindowsDrop) {
    QDir(dir.path()).mkpath(u"site"_s);
    QDir(dir.path()).mkpath(u"other"_s);
    WriteBytes(dir.filePath(u"site/a.htm"_s), "<p>");
    WriteBytes(dir.filePath(u"other/b.htm"_s), "<p>");
    auto w = OpenWindow();
    w->Start().DropFiles({dir.filePath(u"site/a.htm"_s)});
    ASSERT_EQ(w->Context().Folder(), dir.filePath(u"site/"_s));
    auto *editor = new QPlainTextEdit(u"<html>"_s, &folder->widget);
    ASSERT_EQ(editor->window(), w.get());
    ASSERT_TRUE(editor->acceptDrops());

    QMimeData data;
    const QString dropped = dir.filePath(u"other/b.htm"_s);
    data.setUrls({QUrl::fromLocalFile(dropped)});
    data.setText(dropped);
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(w->Context().Folder(), dir.filePath(u"other/"_s));
    EXPECT_EQ(editor->toPlainText(), u"<html>"_s);

    // While the window is busy and disabled, a drop changes nothing.
    w->setEnabled(false);
    QMimeData back;
    back.setUrls({QUrl::fromLocalFile(dir.filePath(u"site/a.htm"_s))});
    QDropEvent busyDrop(at, Qt::CopyAction, &back, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &busyDrop);
    EXPECT_EQ(w->Context().Folder(), dir.filePath(u"other/"_s));
    w->setEnabled(true);

    // Text dragged without files is left to the control.
    QMimeData text;
    text.setText(u"words"_s);
    QDragEnterEvent textEnter(at.toPoint(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &textEnter);
    QDropEvent textDrop(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &textDrop);
    EXPECT_TRUE(editor->toPlainText().contains(u"words"_s));
    EXPECT_EQ(w->Context().Folder(), dir.filePath(u"other/"_s));
}

// The thumbnail folder and every folder below it are refused: a message,
// and all three tabs disabled until another folder is chosen.
TEST_F(MainWindowTest, TheThumbnailFolderIsRefusedUntilAnotherIsChosen) {
    QDir(dir.path()).mkpath(u"THUMBS/=site/"_s);
    QDir(dir.path()).mkpath(u"site"_s);
    WriteBytes(dir.filePath(u"site/index.htm"_s), "<p>");
    WriteBytes(dir.filePath(u"THUMBS/=site/index.htm"_s), "not a page");
    auto w = OpenWindow();
    prompts.Clear();
    w->JumpToFileAndFolder(dir.filePath(u"THUMBS/=site/index.htm"_s));
    EXPECT_EQ(prompts.Texts(Kind::Info),
              QStringList{u"Sorry, access denied. This is your thumbnail folder.\n"
                          "Please choose another folder ..."_s});
    EXPECT_FALSE(w->Pages()->isEnabled());

    prompts.Clear();
    w->JumpToFileAndFolder(dir.filePath(u"site/index.htm"_s));
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_TRUE(w->Pages()->isEnabled());
    EXPECT_EQ(w->Context().Folder(), dir.filePath(u"site/"_s));
}

// A jump puts the caret on the file's entry, found without regard to letter
// case, and selects nothing: the preview and the hint line stay empty.
TEST_F(MainWindowTest, AJumpPutsTheCaretOnTheFileWithoutSelectingIt) {
    QDir(dir.path()).mkpath(u"site"_s);
    for (const char *name : {"about.htm", "index.htm", "zeta.htm"})
        WriteBytes(dir.filePath(u"site/"_s + QString::fromLatin1(name)), "<p>");
    const auto window = OpenWindowWithItsOwnViews();
    TForm1 &w = *window;
    w.JumpToFileAndFolder(dir.filePath(u"site/INDEX.HTM"_s));
    QListView *list = FileListOf(w);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(RowCount(list), 3);
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_TRUE(NothingSelected(list));
    EXPECT_EQ(w.Selection().GetCurrentFile(), QString());
    EXPECT_EQ(w.Selection().GetSelectionInfo().SelCount, 0);

    EXPECT_EQ(w.findChild<QLabel *>(u"LabelFiles"_s)->text(), dir.filePath(u"site/"_s));

    // The preview's buttons belong to the browser and editor still to come.
    for (const QString &name : {u"SBBrowser"_s, u"SBEditor"_s, u"BSaveAs"_s}) {
        prompts.Clear();
        w.findChild<QPushButton *>(name)->click();
        EXPECT_EQ(prompts.Count(Kind::Info), 1) << name.toStdString();
    }
    EXPECT_FALSE(w.findChild<QPushButton *>(u"BSave"_s)->isEnabled());

    // Enter and Delete on the list: nothing without a current file, else the
    // viewer still to come says so and Delete asks before deleting; Ctrl+A
    // selects every entry.
    prompts.Clear();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(prompts.calls.isEmpty());
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.Selection().GetSelectionInfo().SelCount, 3);
    list->clearSelection();
    SetCurrentRow(list, 1);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(prompts.Count(Kind::Info), 1);
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 1);                               // answered Cancel
    EXPECT_EQ(w.Selection().GetCurrentFile(), dir.filePath(u"site/index.htm"_s)); // nothing deleted
    EXPECT_TRUE(QFile::exists(dir.filePath(u"site/index.htm"_s)));

    // A missing file opens its folder and leaves the caret where it was.
    list->clearSelection();
    w.JumpToFileAndFolder(dir.filePath(u"site/gone.htm"_s));
    EXPECT_EQ(w.Context().Folder(), dir.filePath(u"site/"_s));
    EXPECT_TRUE(NothingSelected(list));
}

// Choosing a filter lists the folder with its mask, shows the mask above the
// filter box and empties the preview, even when the shown file still matches.
TEST_F(MainWindowTest, AFilterChangeListsWithItsMaskAndEmptiesThePreview) {
    QDir(dir.path()).mkpath(u"site"_s);
    for (const char *name : {"a.htm", "b.html", "c.htm5", "d.shtml", "e.gif"})
        WriteBytes(dir.filePath(u"site/"_s + QString::fromLatin1(name)), "<p>");
    const auto window = OpenWindowWithItsOwnViews();
    TForm1 &w = *window;
    auto *filter = w.findChild<QComboBox *>(u"CBFilter"_s);
    auto *caption = w.findChild<QLabel *>(u"PanelFilterTop"_s);
    QListView *list = FileListOf(w);
    ASSERT_TRUE(filter && caption && list);
    EXPECT_EQ(caption->text(), u" Filter: *.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht"_s);
    w.JumpToFileAndFolder(dir.filePath(u"site/a.htm"_s));
    EXPECT_EQ(RowCount(list), 5);

    document.SetFileForTest(dir.filePath(u"site/a.htm"_s), 1);
    filter->setCurrentIndex(2); // "HTM(L) only"
    emit filter->activated(2);
    EXPECT_EQ(caption->text(), u" Filter: *.htm"_s);
    EXPECT_EQ(caption->toolTip(), u"*.htm"_s);
    EXPECT_EQ(Names(list), (QStringList{u"a.htm"_s, u"b.html"_s, u"c.htm5"_s}));
    EXPECT_TRUE(document.File().isEmpty());
    EXPECT_EQ(document.FileTime(), 0);

    filter->setCurrentIndex(5); // "SSI only"
    emit filter->activated(5);
    EXPECT_EQ(Names(list), QStringList{u"d.shtml"_s});
}

// The thumbnail corner shows the thumbnail of the selected page, and nothing
// for a page without one or when nothing is selected.
TEST_F(MainWindowTest, TheThumbnailCornerFollowsTheSelection) {
    QDir(dir.path()).mkpath(u"site"_s);
    WriteBytes(dir.filePath(u"site/a.htm"_s), "<p>");
    WriteBytes(dir.filePath(u"site/b.htm"_s), "<p>");
    const QString thumb = ThumbFileName(ProgramDir() + u"THUMBS/"_s, dir.filePath(u"site"_s),
                                        dir.filePath(u"site/a.htm"_s));
    QDir().mkpath(QFileInfo(thumb).path());
    Picture red = MakePicture(130, 100);
    red.fill(Qt::red);
    ASSERT_TRUE(SaveJpeg(red, kThumbnailQuality, thumb));
    const auto window = OpenWindowWithItsOwnViews();
    TForm1 &w = *window;
    w.JumpToFileAndFolder(dir.filePath(u"site/a.htm"_s));
    QListView *list = FileListOf(w);
    auto *corner = w.findChild<QLabel *>(u"ImgMini"_s);
    ASSERT_TRUE(list && corner);
    EXPECT_TRUE(corner->pixmap().isNull());

    SetCurrentRow(list, 0);
    ASSERT_FALSE(corner->pixmap().isNull());
    EXPECT_EQ(corner->pixmap().size(), QSize(130, 100));
    EXPECT_GT(corner->pixmap().toImage().pixelColor(65, 50).red(), 200);
    SetCurrentRow(list, 1); // no thumbnail
    EXPECT_TRUE(corner->pixmap().isNull());
    SetCurrentRow(list, 0);
    list->clearSelection();
    EXPECT_TRUE(corner->pixmap().isNull());
}

} // namespace

// Moving the caret to another file of the list offers to save the editor's
// changes first; the window's own moves (a jump) ask only once, themselves.
TEST_F(MainWindowTest, MovingToAnotherFileAsksToSaveFirst) {
    QDir(dir.path()).mkpath(u"site"_s);
    for (const char *name : {"a.htm", "b.htm", "c.htm"})
        WriteBytes(dir.filePath(u"site/"_s + QString::fromLatin1(name)), "<p>");
    const auto window = OpenWindowWithItsOwnViews();
    TForm1 &w = *window;
    document.answer = SaveChangesReply::No;
    w.JumpToFileAndFolder(dir.filePath(u"site/b.htm"_s));
    EXPECT_EQ(document.asked, 1);
    QListView *list = FileListOf(w);
    ASSERT_NE(list, nullptr);

    SetCurrentRow(list, 0);
    EXPECT_EQ(document.asked, 2);
    EXPECT_EQ(w.Selection().GetCurrentFile(), dir.filePath(u"site/a.htm"_s)); // the preview follows
    SetCurrentRow(list, 0);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); // the caret stays
    EXPECT_EQ(document.asked, 2);
    EXPECT_EQ(w.Selection().GetSelectionInfo().SelCount, 3);
    EXPECT_EQ(w.Selection().GetCurrentFile(), QString());
    EXPECT_EQ(w.Pages()->tabText(0), u"Folder View  (3 of 3 files selected)"_s);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(document.asked, 3);
    EXPECT_EQ(w.Selection().GetCurrentFile(), dir.filePath(u"site/b.htm"_s));
}

// ---- the Thumbnail View tab ------------------------------------------------

TEST_F(MainWindowTest, ThumbnailTabShowsTheFolderAndCtrlASelectsEveryTile) {
    QDir(dir.path()).mkpath(u"site"_s);
    for (const char *name : {"a.htm", "b.htm", "c.htm"})
        WriteBytes(dir.filePath(u"site/"_s + QLatin1StringView(name)), "<p>");
    const QString thumb = ThumbFileName(ProgramDir() + u"THUMBS/"_s, dir.filePath(u"site"_s),
                                        dir.filePath(u"site/a.htm"_s));
    QDir().mkpath(QFileInfo(thumb).path());
    ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, Qt::red), kThumbnailQuality, thumb));
    const auto window = OpenWindowWithItsOwnViews();
    TForm1 &w = *window;
    w.JumpToFileAndFolder(dir.filePath(u"site/a.htm"_s));
    w.Pages()->setCurrentIndex(TForm1::TabThumb);

    auto *grid = w.findChild<QListView *>(u"TabThumb"_s);
    auto *label = w.findChild<QLabel *>(u"LabelThumbs"_s);
    auto *corner = w.findChild<QLabel *>(u"ImgMini"_s);
    ASSERT_TRUE(grid && label && corner);
    EXPECT_EQ(grid->accessibleName(), u"Thumbnail View files"_s);
    EXPECT_EQ(label->text(), dir.filePath(u"site"_s) + u'/');
    EXPECT_EQ(grid->model()->rowCount(), 3);
    // Entering the tab selects the first tile and shows its thumbnail.
    EXPECT_EQ(w.Selection().GetCurrentFile(), dir.filePath(u"site/a.htm"_s));
    EXPECT_FALSE(corner->pixmap().isNull());
    EXPECT_EQ(w.Pages()->tabText(1), u"Thumbnail View  (1 of 3 files selected)"_s);

    QTest::keyPress(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.Pages()->tabText(1), u"Thumbnail View  (1 of 3 files selected)"_s);
    QTest::keyRelease(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.Pages()->tabText(1), u"Thumbnail View  (3 of 3 files selected)"_s);
    EXPECT_EQ(w.Selection().SelectedFiles().size(), 3);
    EXPECT_TRUE(w.Selection().GetCurrentFile().isEmpty());

    // Ctrl+Shift+A selects nothing more.
    grid->selectionModel()->setCurrentIndex(grid->model()->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect);
    QTest::keyRelease(grid, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.Pages()->tabText(1), u"Thumbnail View  (1 of 3 files selected)"_s);
    auto *selectAll = w.findChild<QPushButton *>(u"BThumbSelAll"_s);
    ASSERT_TRUE(selectAll);
    selectAll->click();
    EXPECT_EQ(w.Pages()->tabText(1), u"Thumbnail View  (3 of 3 files selected)"_s);

    // Without a rendering engine Make Thumbs says so; Delete asks first.
    w.findChild<QPushButton *>(u"BMakeThumb"_s)->click();
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(prompts.Count(Kind::Info), 1);
    ASSERT_EQ(prompts.Count(Kind::YesNoCancel), 1);
    EXPECT_TRUE(prompts.Texts(Kind::YesNoCancel)[0].contains(u"Delete 3 files"_s));
}

TEST_F(MainWindowTest, ThumbnailBaseBoxFollowsTheStoredIndex) {
    StartProgram();
    program->Config().ThumbBaseIndex = 9;
    {
        const auto window = OpenWindowWithItsOwnViews();
        auto *box = window->findChild<QComboBox *>(u"CBSnapBase"_s);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->count(), 7);
        EXPECT_EQ(box->itemText(6), u"Thumbs Base: 1600x1200"_s);
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(program->Config().ThumbBaseIndex, 9);
        box->setCurrentIndex(2);
        EXPECT_EQ(program->Config().ThumbBaseIndex, 2);
    }
    program->Config().ThumbBaseIndex = 5;
    const auto window = OpenWindowWithItsOwnViews();
    EXPECT_EQ(window->findChild<QComboBox *>(u"CBSnapBase"_s)->currentIndex(), 5);
}

// The File Lists tab's report view gives the window its current file and
// selection, and keeps its sort order and column widths across runs.
TEST_F(MainWindowTest, FileListsTabFeedsTheSelectionAndKeepsItsSortOrder) {
    {
        auto w = OpenWindowWithItsOwnViews();
        w->Pages()->setCurrentIndex(TForm1::TabTree);
        ELVReport *report = w->ListsPage()->Report();
        report->Model().FillLVFromList({u"/w/*b*.htm*100*2000-01-01  10:00"_s,
                                        u"/w/*a*.htm*9*2000-01-01  10:00"_s,
                                        u"/v/*c*.htm*10*2000-01-01  10:00"_s});
        // Sorted by folder, the rows keep their order within a folder.
        report->setCurrentIndex(report->Model().index(1, 0));
        EXPECT_EQ(w->Selection().GetCurrentFile(), u"/w/b.htm"_s);
        const TSelectionInfo info = w->Selection().GetSelectionInfo();
        EXPECT_EQ(info.SelCount, 1);
        EXPECT_EQ(info.Count, 3);
        EXPECT_EQ(w->Selection().GetViewFile(1, true), u"/w/b.htm"_s);
        EXPECT_TRUE(w->Selection().GetViewFile(0, true).isEmpty());
        EXPECT_EQ(w->Selection().GetViewFile(0, false), u"/v/c.htm"_s);
        EXPECT_TRUE(w->Pages()->tabText(TForm1::TabTree).contains(u"(1 of 3 files selected)"_s));
        report->ColumnClick(FieldSize);
        report->ColumnClick(FieldSize);
        report->header()->resizeSection(FieldFolder, 123);
        w->close();
    }
    const QStringList lines = IniLines();
    EXPECT_TRUE(lines.contains(u"SortCol=3"_s));
    EXPECT_TRUE(lines.contains(u"Ascending=0"_s));
    StartProgram();
    auto w = OpenWindowWithItsOwnViews();
    ELVReport *report = w->ListsPage()->Report();
    EXPECT_EQ(report->Model().SortColumn(), FieldSize);
    EXPECT_EQ(report->Model().SortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(report->header()->sectionSize(FieldFolder), 123);
}

// A list file outside FILELISTS, with one entry that is out of date and one
// whose file is gone, beside the page it names.
QString WriteListOutsideFileLists(const QTemporaryDir &dir) {
    const QString site = dir.filePath(u"site/"_s);
    WriteBytes(site + u"a.htm"_s, "<p>a");
    const QString list = dir.filePath(u"elsewhere/old.lst"_s);
    WriteBytes(list, (site + u"*a*.htm*999*2000-01-01  10:00\r\n"_s + site +
                      u"*gone*.htm*10*2000-01-01  10:00\r\n"_s)
                         .toUtf8());
    return list;
}

// A list named on the command line is loaded into the File Lists tab from
// where it is and verified, at the first activation and never again.
TEST_F(MainWindowTest, ListFileOnTheCommandLineIsLoadedOnceAndVerified) {
    const QString list = WriteListOutsideFileLists(dir);
    auto w = OpenWindowWithItsOwnViews(QStringList{list});
    EXPECT_TRUE(w->Start().CommandFile().isEmpty());
    EXPECT_TRUE(w->Start().CommandListFile().isEmpty());
    EXPECT_EQ(w->Pages()->currentIndex(), TForm1::TabTree);
    FileListsPage *page = w->ListsPage();
    // The verification took the missing entry out, rebuilt the other one and
    // offered to save the corrected list.
    ASSERT_EQ(page->Report()->Model().Count(), 1);
    EXPECT_EQ(page->EntryPath(0), dir.filePath(u"site/a.htm"_s));
    EXPECT_EQ(page->CurrentList().Name, list);
    EXPECT_EQ(dialogsShown, 1);
    // Nothing was written into the list or into FILELISTS.
    EXPECT_TRUE(velmora::testing::ReadBytes(list).contains("*999*"));

    page->Report()->Model().Clear();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w.get(), &activate);
    EXPECT_EQ(page->Report()->Model().Count(), 0);
    EXPECT_EQ(dialogsShown, 1);
}

TEST_F(MainWindowTest, DroppedListFileIsLoadedAndVerified) {
    const QString list = WriteListOutsideFileLists(dir);
    auto w = OpenWindowWithItsOwnViews(QStringList{});
    EXPECT_EQ(w->Pages()->currentIndex(), TForm1::TabFile);
    w->Start().DropFiles({list, dir.filePath(u"site/a.htm"_s)});
    EXPECT_EQ(prompts.Count(Kind::Beep), 0);
    EXPECT_EQ(w->Pages()->currentIndex(), TForm1::TabTree);
    ASSERT_EQ(w->ListsPage()->Report()->Model().Count(), 1);
    EXPECT_EQ(dialogsShown, 1);

    // A list file that is not there is refused as any other unknown file.
    w->Start().DropFiles({dir.filePath(u"elsewhere/missing.lst"_s)});
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
}
