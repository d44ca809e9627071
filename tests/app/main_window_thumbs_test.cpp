// Make Thumbs / ClearThumbs through the main window, with the real rendering
// engine: which files get a thumbnail, what the progress window shows, how a
// stop or a full disk ends the run, and that the window is usable after.
#include "app/main_window.h"
#include "foundation/desktop_services.h"
#include "main_window_fixture.h"
#include "recording_desktop.h"
#include "recording_progress.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/form_progress.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

using namespace velmora;
using velmora::testing::MainWindowFixture;
using velmora::testing::ProgressLog;
using velmora::testing::RecordingDesktop;
using velmora::testing::RecordingProgress;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

// The Thumbnail View's entries as the main window hands them over, with a
// selection the test sets; records which entries were drawn again.
class ThumbsViewDouble final : public TabView {
public:
    QWidget *Widget() override { return &widget; }
    int Count() const override { return int(paths.size()); }
    int SelectedCount() const override { return int(selected.size()); }
    QString CurrentFile() const override { return {}; }
    QStringList SelectedFiles() const override { return {}; }
    QString ViewFile(int i, bool selectedOnly) const override {
        if (i < 0 || i >= Count() || (selectedOnly && !selected.contains(i)))
            return {};
        return paths[i];
    }
    void ShowFolderFiles(const QStringList &files) override { paths = files; }
    void RefreshEntry(int i) override { refreshed << i; }
    QWidget widget;
    QStringList paths;
    QList<int> selected;
    QList<int> refreshed;
};

class MainWindowThumbsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"site"_s));
        StartProgram();
        program->Config().ThumbBaseIndex = 0; // small captures keep the tests quick
        MainWindowServices services = Services(&profile);
        services.freeSpace = [this](const QString &) -> std::optional<qint64> {
            ++freeSpaceAsked;
            return freeSpaceAsked > fullAfter ? 1000 : qint64(1) << 40;
        };
        services.progressWindows = [this]() -> std::unique_ptr<ProgressWindow> {
            return std::make_unique<RecordingProgress>(progress);
        };
        MainWindowViews views;
        auto thumbs = std::make_unique<ThumbsViewDouble>();
        thumbsView = thumbs.get();
        views.thumbs = std::move(thumbs);
        window = MakeWindow(services, std::move(views));
    }

    QString Page(const QString &name) {
        return WriteSite(name, "<body style='background:#c00020'><h1>" + name.toUtf8() + "</h1>");
    }
    // Pages a.htm, b.htm, c.htm in the Folder View, all selected.
    QStringList ThreePagesSelected() {
        const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s), Page(u"c.htm"_s)};
        window->JumpToFileAndFolder(pages[0]);
        FileList()->selectAll();
        return pages;
    }
    QLabel *Corner() const { return window->findChild<QLabel *>(u"ImgMini"_s); }
    void SelectRow(int row) {
        FileList()->selectionModel()->setCurrentIndex(FileList()->model()->index(row, 0),
                                                      QItemSelectionModel::ClearAndSelect);
    }
    QString Thumb(const QString &page) const { return window->Thumbnails().ThumbPathOf(page); }
    bool HasThumb(const QString &page) const { return QFileInfo::exists(Thumb(page)); }
    // Every file under THUMBS is a whole thumbnail: no empty, partial or
    // temporary file is left behind.
    void ExpectOnlyWholeThumbnails() const {
        QDirIterator it(window->Thumbnails().ThumbDir(), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            EXPECT_TRUE(file.endsWith(u".jpg"_s)) << file.toStdString();
            Picture picture;
            EXPECT_TRUE(ThumbnailCache::DecodeThumbnailFile(file, &picture)) << file.toStdString();
            EXPECT_EQ(picture.size(), QSize(130, 100)) << file.toStdString();
        }
    }

    RenderProfile profile;
    ProgressLog progress;
    int freeSpaceAsked = 0;
    int fullAfter = 1000; // the volume is full from this query on
    ThumbsViewDouble *thumbsView = nullptr;
};

TEST_F(MainWindowThumbsTest, NothingSelectedShowsOnlyTheMessage) {
    const QString a = Page(u"a.htm"_s);
    window->JumpToFileAndFolder(a);
    FileList()->clearSelection();
    window->Commands().Add_Remove(FileCommands::ModeMake);
    window->Commands().Add_Remove(FileCommands::ModeClear);
    EXPECT_EQ(prompts.Texts(Kind::Info),
              (QStringList{u"Cannot create thumbnail.\nNo file(s) selected ..."_s,
                           u"Cannot clear thumbnail.\nNo file(s) selected ..."_s}));
    EXPECT_EQ(prompts.calls.size(), 2);
    EXPECT_EQ(progress.made, 0);
    EXPECT_EQ(freeSpaceAsked, 0);
    EXPECT_FALSE(HasThumb(a));
}

// Made by a double click on the thumbnail corner, cleared by the context
// menu: no progress window for one file, and the corner follows at once.
TEST_F(MainWindowThumbsTest, OneFileIsMadeAndClearedWithTheCornerFollowing) {
    const QString a = Page(u"a.htm"_s);
    Page(u"b.htm"_s);
    window->JumpToFileAndFolder(a);
    SelectRow(0);
    ASSERT_TRUE(Corner()->pixmap().isNull());

    QTest::mouseDClick(Corner(), Qt::LeftButton);
    ASSERT_TRUE(HasThumb(a));
    EXPECT_EQ(freeSpaceAsked, 1);
    EXPECT_EQ(progress.made, 0);
    EXPECT_TRUE(window->isEnabled());
    ASSERT_FALSE(Corner()->pixmap().isNull());
    EXPECT_EQ(Corner()->pixmap().size(), QSize(130, 100));
    const QColor middle = Corner()->pixmap().toImage().pixelColor(65, 90);
    EXPECT_GT(middle.red(), 150);
    EXPECT_LT(middle.green(), 80);
    ExpectOnlyWholeThumbnails();

    window->Commands().PopUpEntry(3)->trigger(); // "Clear Thumbnail(s)"
    EXPECT_FALSE(HasThumb(a));
    EXPECT_TRUE(Corner()->pixmap().isNull());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(prompts.calls.isEmpty());
    // Clearing again, with no thumbnail left, is no error.
    window->Commands().PopUpEntry(3)->trigger();
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// The capture keeps a window of its own that is never on screen; it must
// not keep the program from ending once the main window is closed.
TEST_F(MainWindowThumbsTest, ClosingTheWindowAfterARunStillEndsTheProgram) {
    const QString a = Page(u"a.htm"_s);
    window->JumpToFileAndFolder(a);
    SelectRow(0);
    window->Commands().Add_Remove(FileCommands::ModeMake);
    ASSERT_TRUE(HasThumb(a));
    // As the program runs: the event loop ends when the last window closes,
    // or the test gives up after a while.
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(MainWindowThumbsTest, StopDuringTheFirstOfThreeFinishesOnlyThatOne) {
    const QStringList pages = ThreePagesSelected();
    progress.stopAtText = 1;
    window->Commands().PopUpEntry(2)->trigger(); // "Make/Update Thumbnail(s)"
    EXPECT_EQ(progress.made, 1);
    EXPECT_EQ(progress.barMaximum, 3);
    EXPECT_TRUE(progress.shown);
    EXPECT_TRUE(progress.closed);
    EXPECT_EQ(progress.texts, QStringList{u"(1 of 3): "_s + pages[0]});
    EXPECT_EQ(progress.steps, 1);
    EXPECT_TRUE(HasThumb(pages[0]));
    EXPECT_FALSE(HasThumb(pages[1]));
    EXPECT_FALSE(HasThumb(pages[2]));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(prompts.calls.isEmpty());
    ExpectOnlyWholeThumbnails();
}

TEST_F(MainWindowThumbsTest, AFullDiskEndsTheRunWithOneMessageAndKeepsEarlierThumbnails) {
    const QStringList pages = ThreePagesSelected();
    fullAfter = 1;
    window->Commands().Add_Remove(FileCommands::ModeMake);
    const QStringList messages = prompts.Texts(Kind::Info) + prompts.Texts(Kind::Error);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(u"Diskspace on drive "_s)) << messages[0].toStdString();
    EXPECT_EQ(freeSpaceAsked, 2);
    EXPECT_EQ(progress.texts,
              (QStringList{u"(1 of 3): "_s + pages[0], u"(2 of 3): "_s + pages[1]}));
    EXPECT_EQ(progress.steps, 1);
    EXPECT_TRUE(progress.closed);
    EXPECT_TRUE(HasThumb(pages[0]));
    EXPECT_FALSE(HasThumb(pages[1]));
    EXPECT_TRUE(window->isEnabled());
    ExpectOnlyWholeThumbnails();

    // Clearing needs no free space.
    prompts.Clear();
    window->Commands().Add_Remove(FileCommands::ModeClear);
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_EQ(progress.texts.size(), 5);
    EXPECT_FALSE(HasThumb(pages[0]));
}

TEST_F(MainWindowThumbsTest, ABaseIndexOutsideTheBoxMakesNoThumbnail) {
    const QString a = Page(u"a.htm"_s);
    window->JumpToFileAndFolder(a);
    SelectRow(0);
    program->Config().ThumbBaseIndex = 7;
    window->Commands().Add_Remove(FileCommands::ModeMake);
    EXPECT_FALSE(HasThumb(a));
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_TRUE(window->isEnabled());

    // Once a base is chosen the same page gets its 130 x 100 thumbnail.
    program->Config().ThumbBaseIndex = 0;
    window->Commands().Add_Remove(FileCommands::ModeMake);
    ASSERT_TRUE(HasThumb(a));
    ExpectOnlyWholeThumbnails();
}

TEST_F(MainWindowThumbsTest, OnTheThumbnailViewTheSelectedEntriesAreDrawnAgain) {
    const QStringList pages = ThreePagesSelected();
    thumbsView->selected = {0, 2};
    window->Pages()->setCurrentIndex(TForm1::TabThumb);
    ASSERT_EQ(window->Selection().GetSelectionInfo().Page, TForm1::TabThumb);
    window->Commands().Add_Remove(FileCommands::ModeMake);
    EXPECT_EQ(progress.texts,
              (QStringList{u"(1 of 2): "_s + pages[0], u"(2 of 2): "_s + pages[2]}));
    EXPECT_EQ(thumbsView->refreshed, (QList<int>{0, 2}));
    EXPECT_TRUE(HasThumb(pages[0]));
    EXPECT_FALSE(HasThumb(pages[1]));
    EXPECT_TRUE(HasThumb(pages[2]));

    // One entry without the caret on it is still the one acted on.
    thumbsView->selected = {2};
    thumbsView->refreshed.clear();
    window->Commands().Add_Remove(FileCommands::ModeClear);
    EXPECT_FALSE(HasThumb(pages[2]));
    EXPECT_TRUE(HasThumb(pages[0]));
    EXPECT_EQ(thumbsView->refreshed, QList<int>{2});
}

// The real progress window: its stop button, pressed while the first page
// loads, ends the run after that page.
TEST(MainWindowThumbsRealProgress, TheStopButtonEndsTheRun) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"site"_s));
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    RenderProfile profile;
    Program program(ProgramFolders::At(dir.path()), prompts);
    program.Start(QSize(1000, 800));
    program.Config().ThumbBaseIndex = 0;
    TForm1 window(MainWindowServices{program, prompts, prompts, desktop, &profile});
    window.show();
    QStringList pages;
    for (const char *name : {"a.htm", "b.htm", "c.htm"}) {
        pages << dir.filePath(u"site/"_s + QLatin1String(name));
        WriteBytes(pages.back(), "<p>page</p>");
    }
    window.JumpToFileAndFolder(pages[0]);
    window.findChild<QAbstractItemView *>(u"LBFile"_s)->selectAll();

    QString label;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<TFormProgress *>(w); form && form->isVisible()) {
                label = form->findChild<QLabel *>(u"Label1"_s)->text();
                form->findChild<QPushButton *>(u"Button1"_s)->click();
            }
    });
    window.Commands().Add_Remove(FileCommands::ModeMake);
    EXPECT_EQ(label, u"(1 of 3): "_s + pages[0]);
    const ThumbnailStore &store = window.Thumbnails();
    EXPECT_TRUE(QFileInfo::exists(store.ThumbPathOf(pages[0])));
    EXPECT_FALSE(QFileInfo::exists(store.ThumbPathOf(pages[1])));
    EXPECT_TRUE(window.isEnabled());
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TFormProgress *>(w) && w->isVisible());
}

} // namespace
