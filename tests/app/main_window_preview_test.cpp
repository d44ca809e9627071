// The main window with its real preview: the browser or the editor docked in
// the Folder View, the document following the file list, the modal
// editor/browser window, and saving from the main window's buttons.
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/file_lists_page.h"
#include "foundation/desktop_services.h"
#include "foundation/file_utils.h"
#include "main_window_fixture.h"
#include "pictures/jpeg_codec.h"
#include "render/page_view.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"
#include "thumbs/thumbnail_names.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::MainWindowFixture;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class MainWindowPreviewTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"site"_s));
        MainWindowServices services = Services(&profile);
        services.arguments = arguments;
        window = MakeWindow(services);
        view = window->Preview().FormView();
        ASSERT_NE(view, nullptr);
    }

    QString Page(const QString &name, const QByteArray &bytes) { return WriteSite(name, bytes); }
    // Selects entry row alone, as a click does.
    void Select(int row) {
        QAbstractItemView *list = FileList();
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
    }
    QPushButton *Button(const QString &name) const {
        return window->findChild<QPushButton *>(name);
    }
    bool BrowserShows(const QString &path) const {
        return QTest::qWaitFor(
            [&] { return view->FrameViewer1()->CurrentFile() == path && !view->BrowserBusy(); },
            5000);
    }
    QWidget *Panel1() const { return window->findChild<QWidget *>(u"Panel1"_s); }
    QLabel *Corner() const { return window->findChild<QLabel *>(u"ImgMini"_s); }
    // A thumbnail of one colour for page, where the program looks for it.
    void WriteThumbnail(const QString &page, QColor colour) {
        const QString thumb =
            ThumbFileName(dir.filePath(u"THUMBS/"_s), QFileInfo(page).path() + u'/', page);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(thumb).path()));
        ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, colour), kThumbnailQuality, thumb));
    }
    // The colour in the middle of the thumbnail corner; invalid when empty.
    QColor CornerColour() const {
        const QPixmap shown = Corner()->pixmap();
        return shown.isNull() ? QColor() : shown.toImage().pixelColor(65, 50);
    }
    void Activate() {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activate);
    }
    bool DockedInMainWindow(QWidget *widget) const { return Panel1()->isAncestorOf(widget); }

    RenderProfile profile;
    // The program's arguments; none by default.
    QStringList arguments;
    TFormView *view = nullptr;
};

TEST_F(MainWindowPreviewTest, TheSelectedFileIsPreviewedAndUnsavedTextIsAskedFor) {
    const QString a = Page(u"a.htm"_s, "<title>A</title><p>a</p>\n");
    const QString b = Page(u"b.htm"_s, "<title>B</title><p>b</p>\n");
    window->JumpToFileAndFolder(a);
    Select(0);
    EXPECT_EQ(view->Document().File(), a);
    EXPECT_TRUE(BrowserShows(a));
    EXPECT_TRUE(DockedInMainWindow(view->FrameViewer1()));
    EXPECT_TRUE(Button(u"BSaveAs"_s)->isEnabled());
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());

    view->REScreen()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view->REScreen(), u"edit"_s);
    EXPECT_TRUE(Button(u"BSave"_s)->isEnabled());

    // No: the newly selected file is shown, the changes are gone.
    prompts.yesNoCancelAnswers = {Answer::No};
    Select(1);
    ASSERT_EQ(prompts.Texts(Kind::YesNoCancel), QStringList{u"Save changes in: "_s + a});
    EXPECT_EQ(view->Document().File(), b);
    EXPECT_EQ(view->REScreen()->EditedText(), u"<title>B</title><p>b</p>\n"_s);
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    EXPECT_EQ(ReadBytes(a), QByteArray("<title>A</title><p>a</p>\n"));

    // Yes saves before the next file comes.
    QTest::keyClicks(view->REScreen(), u"X"_s);
    prompts.yesNoCancelAnswers = {Answer::Yes};
    Select(0);
    EXPECT_EQ(ReadBytes(b), QByteArray("X<title>B</title><p>b</p>\n"));
    EXPECT_EQ(view->Document().File(), a);

    // Two selected files: nothing is previewed; the commands for the
    // selected files find both.
    FileList()->selectAll();
    EXPECT_TRUE(view->Document().File().isEmpty());
    EXPECT_EQ(window->Selection().GetSelectionInfo().SelCount, 2);
    EXPECT_EQ(window->Selection().GetViewFile(0, true), a);
    EXPECT_EQ(window->Selection().GetViewFile(1, true), b);
    EXPECT_EQ(window->Selection().GetViewFile(2, true), QString());
    EXPECT_FALSE(Button(u"BSaveAs"_s)->isEnabled());
}

// A click moves the caret onto the other file before it selects it, so for
// a moment no file is current: the unsaved text must be asked for all the
// same, before it is given up.
TEST_F(MainWindowPreviewTest, AClickOnAnotherFileAsksForTheUnsavedText) {
    const QString a = Page(u"a.htm"_s, "<p>a</p>\n");
    Page(u"b.htm"_s, "<p>b</p>\n");
    window->JumpToFileAndFolder(a);
    Select(0);
    view->REScreen()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view->REScreen(), u"edit"_s);

    // The two steps of a mouse press on the list, as the view takes them.
    prompts.yesNoCancelAnswers = {Answer::Yes};
    QAbstractItemView *list = FileList();
    const QModelIndex second = list->model()->index(1, 0);
    list->selectionModel()->setCurrentIndex(second, QItemSelectionModel::NoUpdate);
    list->selectionModel()->select(second, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel), QStringList{u"Save changes in: "_s + a});
    EXPECT_EQ(ReadBytes(a), QByteArray("<p>a</p>\nedit"));
    EXPECT_EQ(view->Document().File(), dir.filePath(u"site/b.htm"_s));

    // A Ctrl+click that adds a second file empties the preview: asked too.
    QTest::keyClicks(view->REScreen(), u"more"_s);
    prompts.yesNoCancelAnswers = {Answer::No};
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel).size(), 2);
    EXPECT_TRUE(view->Document().File().isEmpty());
}

TEST_F(MainWindowPreviewTest, SaveAsIntoTheShownFolderSelectsTheCopy) {
    const QString a = Page(u"a.htm"_s, "<p>a</p>\r\n");
    Page(u"m.htm"_s, "<p>m</p>");
    window->JumpToFileAndFolder(a);
    Select(0);
    const QString copy = dir.filePath(u"site/b-copy.htm"_s);
    prompts.fileAnswers = {copy};
    Button(u"BSaveAs"_s)->click();
    EXPECT_EQ(ReadBytes(copy), QByteArray("<p>a</p>\r\n"));
    EXPECT_EQ(window->Selection().GetCurrentFile(), copy);
    EXPECT_EQ(window->Selection().GetSelectionInfo().SelCount, 1);
    EXPECT_EQ(view->Document().File(), a); // the editor keeps its file
    EXPECT_EQ(view->windowTitle(), a);
    EXPECT_TRUE(BrowserShows(copy));
    EXPECT_EQ(FileList()->model()->rowCount(), 3);
}

TEST_F(MainWindowPreviewTest, TheButtonsDockOneViewAndTheModalWindowTakesBoth) {
    const QString a = Page(u"a.htm"_s, "<p>a</p>");
    window->JumpToFileAndFolder(a);
    Select(0);
    ASSERT_TRUE(BrowserShows(a));
    Button(u"SBEditor"_s)->click();
    EXPECT_TRUE(DockedInMainWindow(view->REScreen()));
    EXPECT_FALSE(DockedInMainWindow(view->FrameViewer1()));

    bool bothInTheWindow = false, modal = false;
    QTimer::singleShot(0, view, [&] {
        modal = window->Commands().ViewerModal() && view->isVisible();
        bothInTheWindow =
            view->isAncestorOf(view->REScreen()) && view->isAncestorOf(view->FrameViewer1());
        QTest::keyClick(view, Qt::Key_Escape);
    });
    QTest::keyClick(FileList(), Qt::Key_Return);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(bothInTheWindow);
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(window->Commands().ViewerModal());
    EXPECT_TRUE(DockedInMainWindow(view->REScreen())); // the editor is docked again

    Button(u"SBBrowser"_s)->click();
    EXPECT_TRUE(DockedInMainWindow(view->FrameViewer1()));
    EXPECT_FALSE(DockedInMainWindow(view->REScreen()));
}

// Enter (as a double click) while the preview still loads the file waits
// for the page and then opens the window on it, once. While the browser is
// busy with another page (as a link the user followed), it stays shut.
TEST_F(MainWindowPreviewTest, EnterWhileThePreviewLoadsOpensTheWindowOnThePage) {
    const QByteArray slowScript =
        "<script>const t = Date.now(); while (Date.now() - t < 1000) {}</script>";
    const QString slow = Page(u"slow.htm"_s, "<title>Slow</title><p>slow" + slowScript);
    const QString other = Page(u"zother.htm"_s, "<p>other" + slowScript);
    window->JumpToFileAndFolder(slow);
    int opened = 0;
    bool pageThereWhenOpened = false;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, view, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ++opened;
            pageThereWhenOpened =
                view->FrameViewer1()->CurrentFile() == slow && !view->BrowserBusy();
            modal->close();
        }
    });
    watch.start();
    Select(0);
    ASSERT_TRUE(view->BrowserBusy());
    QTest::keyClick(FileList(), Qt::Key_Return);
    QTest::qWait(300);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(pageThereWhenOpened);
    EXPECT_FALSE(window->Commands().ViewerModal());

    view->FrameViewer1()->StartLoadingFile(other);
    ASSERT_TRUE(view->BrowserBusy());
    QTest::keyClick(FileList(), Qt::Key_Return);
    QTest::qWait(300);
    EXPECT_EQ(opened, 1);
}

// A double click on a row opens the window once: the list's own double click
// and the view's request to open are one and the same.
TEST_F(MainWindowPreviewTest, ADoubleClickOpensTheWindowOnce) {
    const QString page = Page(u"a.htm"_s, "<title>A</title><p>a");
    window->JumpToFileAndFolder(page);
    Select(0);
    ASSERT_TRUE(BrowserShows(page));
    int opened = 0;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, view, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ++opened;
            modal->close();
        }
    });
    watch.start();
    QAbstractItemView *list = FileList();
    const QPoint row = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::qWait(500);
    EXPECT_EQ(opened, 1);
}

// A tile or a File Lists row shown in the preview is replaced by the Folder
// View's own file when the user comes back, with its thumbnail; entering
// File Lists shows the thumbnail of the row current there.
TEST_F(MainWindowPreviewTest, BackInTheFolderViewItsCurrentFileIsShownAgain) {
    const QString a = Page(u"a.htm"_s, "<title>A</title><p>a</p>\n");
    const QString b = Page(u"b.htm"_s, "<title>B</title><p>b</p>\n");
    WriteThumbnail(a, Qt::red);
    WriteThumbnail(b, Qt::blue);
    window->JumpToFileAndFolder(a);
    Select(0);
    ASSERT_TRUE(BrowserShows(a));

    window->Pages()->setCurrentIndex(TForm1::TabThumb);
    auto *tiles = window->findChild<QAbstractItemView *>(u"TabThumb"_s);
    ASSERT_NE(tiles, nullptr);
    tiles->selectionModel()->setCurrentIndex(tiles->model()->index(1, 0),
                                             QItemSelectionModel::ClearAndSelect);
    ASSERT_EQ(view->Document().File(), b);
    ASSERT_TRUE(BrowserShows(b));

    window->Pages()->setCurrentIndex(TForm1::TabFile);
    EXPECT_EQ(window->Selection().GetCurrentFile(), a);
    EXPECT_EQ(view->Document().File(), a);
    EXPECT_EQ(view->REScreen()->EditedText(), u"<title>A</title><p>a</p>\n"_s);
    EXPECT_TRUE(BrowserShows(a));
    EXPECT_GT(CornerColour().red(), 200);
    // The editor's text is the file's: Save writes it there.
    Button(u"SBEditor"_s)->click();
    QTest::keyClicks(view->REScreen(), u"X"_s);
    ASSERT_TRUE(Button(u"BSave"_s)->isEnabled());
    Button(u"BSave"_s)->click();
    EXPECT_EQ(prompts.Count(Kind::Beep), 0);
    EXPECT_TRUE(ReadBytes(a).contains("X"));
    EXPECT_EQ(ReadBytes(b), QByteArray("<title>B</title><p>b</p>\n"));

    ELVReport *report = window->ListsPage()->Report();
    report->Model().FillLVFromList({dir.filePath(u"site/"_s) + u"*b*.htm*10*2000-01-01  10:00"_s});
    report->setCurrentIndex(report->Model().index(0, 0));
    window->Pages()->setCurrentIndex(TForm1::TabTree);
    ASSERT_EQ(window->Selection().GetCurrentFile(), b);
    EXPECT_GT(CornerColour().blue(), 200);
}

// A copy of the shown file into the folder on show gives nothing up: the
// list is read again with the caret on the copy, while the preview keeps its
// file and its unsaved text, and nothing is asked.
TEST_F(MainWindowPreviewTest, ACopyIntoTheShownFolderKeepsThePreviewAndAsksNothing) {
    const QString a = Page(u"a.htm"_s, "<p>a</p>");
    Page(u"m.htm"_s, "<p>m</p>");
    window->JumpToFileAndFolder(a);
    Select(0);
    ASSERT_TRUE(BrowserShows(a));
    QTest::keyClicks(view->REScreen(), u"edit"_s);
    const QString copy = dir.filePath(u"site/b.htm"_s);
    prompts.fileAnswers = {copy};
    window->Commands().CopySelectedFiles();
    EXPECT_EQ(ReadBytes(copy), QByteArray("<p>a</p>"));
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 0);
    EXPECT_EQ(FileList()->model()->rowCount(), 3);
    EXPECT_EQ(FileList()->currentIndex().row(), 1);
    EXPECT_EQ(view->Document().File(), a);
    EXPECT_TRUE(view->REScreen()->IsModified());
    EXPECT_TRUE(BrowserShows(a));
}

TEST_F(MainWindowPreviewTest, AnOutsideChangeIsReloadedWhenTheUserSaysYes) {
    const QString a = Page(u"a.htm"_s, "<p>old</p>");
    window->JumpToFileAndFolder(a);
    Select(0);
    QTest::keyClicks(view->REScreen(), u"unsaved"_s);
    WriteBytes(a, "<p>new from outside</p>");
    view->Document().SetFileTime(view->Document().FileTime() - 5000);
    prompts.yesNoAnswers = {true};
    window->Preview().AppActivate();
    EXPECT_EQ(prompts.Count(Kind::YesNo), 1);
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 0); // the edits go without a question
    EXPECT_EQ(view->REScreen()->EditedText(), u"<p>new from outside</p>"_s);
    EXPECT_FALSE(view->REScreen()->IsModified());
    EXPECT_EQ(view->Document().FileTime(), FileStamp(a));
}

// Started with a page on the command line.
class CommandLinePreviewTest : public MainWindowPreviewTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"site"_s));
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"other"_s));
        a = Page(u"a.htm"_s, "<p>a</p>");
        Page(u"b.htm"_s, "<p>b</p>");
        start = Page(u"start.htm"_s, "<title>Start</title><p>start</p>");
        arguments = {start};
        MainWindowPreviewTest::SetUp();
    }
    QString a, start;
};

// The command-line page is opened at the first activation, selected and
// shown as a click would; later activations (a dialog or the viewer
// closing) leave the user's choice alone and ask nothing.
TEST_F(CommandLinePreviewTest, TheCommandLinePageIsShownOnceAsAClickWould) {
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"site/"_s));
    EXPECT_EQ(window->Selection().GetCurrentFile(), start);
    EXPECT_EQ(window->Pages()->tabText(TForm1::TabFile), u"Folder View  (1 of 3 files selected)"_s);
    EXPECT_EQ(view->Document().File(), start);
    EXPECT_TRUE(BrowserShows(start));

    Select(0);
    Activate();
    EXPECT_EQ(window->Selection().GetCurrentFile(), a);
    EXPECT_EQ(view->Document().File(), a);

    QTest::keyClicks(view->REScreen(), u"edit"_s);
    for (int n = 0; n < 3; ++n)
        Activate();
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 0);
    EXPECT_EQ(window->Selection().GetCurrentFile(), a);
    EXPECT_TRUE(view->REScreen()->IsModified());
    EXPECT_EQ(window->Start().CommandFile(), start);
}

// A page dropped onto the window opens its folder; the activation the drop
// brings does not take the user back to the command-line page.
TEST_F(CommandLinePreviewTest, ADropIsNotUndoneByTheActivationThatFollows) {
    const QString dropped = dir.filePath(u"other/d.htm"_s);
    WriteBytes(dropped, "<p>d</p>");
    window->Start().DropFiles({dropped});
    ASSERT_EQ(window->Context().Folder(), dir.filePath(u"other/"_s));
    Activate();
    QTest::qWait(50);
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"other/"_s));
    EXPECT_EQ(FileList()->currentIndex().data().toString(), u"d.htm"_s);
}

// Another program adds and removes pages beside the one on show: the list
// follows, while the preview keeps its page and the editor its unsaved
// text, and nothing is asked.
TEST_F(MainWindowPreviewTest, AChangeOnDiskKeepsThePreviewAndItsUnsavedText) {
    const QString a = Page(u"a.htm"_s, "<title>A</title><p>a</p>");
    const QString b = Page(u"b.htm"_s, "<p>b</p>");
    window->JumpToFileAndFolder(a);
    Select(0);
    ASSERT_TRUE(BrowserShows(a));
    view->REScreen()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view->REScreen(), u"edit"_s);
    prompts.Clear();

    QSignalSpy reset(FileList()->model(), &QAbstractItemModel::modelReset);
    Page(u"c.htm"_s, "<p>c</p>");
    ASSERT_TRUE(QFile::remove(b));
    ASSERT_TRUE(reset.wait(5000));
    EXPECT_EQ(FileList()->model()->rowCount(), 2);
    EXPECT_EQ(window->Selection().GetCurrentFile(), a);
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_EQ(view->Document().File(), a);
    EXPECT_EQ(view->REScreen()->EditedText(), u"<title>A</title><p>a</p>edit"_s);
    EXPECT_TRUE(Button(u"BSave"_s)->isEnabled());
    EXPECT_EQ(view->FrameViewer1()->CurrentFile(), a);
    EXPECT_FALSE(view->BrowserBusy()); // not loading it again
}

} // namespace
