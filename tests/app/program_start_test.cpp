// The program's start without a main window: a stand-in records the jumps
// and selections the start asks for.
#include "app/program_start.h"

#include "foundation/file_utils.h"
#include "scripted_prompts.h"
#include "temp_files.h"
#include "widgets/tab_view.h"

#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace Qt::StringLiterals;

namespace {

class RecordingFolderView final : public TabView {
public:
    QWidget *Widget() override { return &widget; }
    int Count() const override { return 0; }
    int SelectedCount() const override { return 0; }
    QString CurrentFile() const override { return {}; }
    QStringList SelectedFiles() const override { return {}; }
    QString ViewFile(int, bool) const override { return {}; }
    void SelectFile(const QString &path) override { selected << path; }

    QWidget widget;
    QStringList selected;
};

// Jumps show the folder of the path, unless the window refuses them (the
// user kept unsaved changes).
class StandInWindow final : public StartWindow {
public:
    StandInWindow() {
        for (const QString &name : {u"Folder View"_s, u"Thumbnail View"_s, u"File Lists"_s})
            pages.addTab(new QWidget, name);
    }
    bool JumpToFileAndFolder(const QString &path) override {
        jumps << path;
        if (!refuseJumps)
            folder = WithBackslash(QFileInfo(path).absolutePath());
        return !refuseJumps;
    }
    QString CurrentFolder() const override { return folder; }
    QTabWidget *Pages() const override { return &pages; }
    TabView *View(int) const override { return &folderView; }
    FileListsPage *ListsPage() const override { return nullptr; }

    mutable QTabWidget pages;
    mutable RecordingFolderView folderView;
    QStringList jumps;
    QString folder;
    bool refuseJumps = false;
};

class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const QString &name : {u"site/start.htm"_s, u"site/other.htm"_s, u"site/notes.txt"_s})
            WriteBytes(dir.filePath(name), "x");
        start.ReadArguments({Page(u"start.htm"_s)});
    }
    QString Page(const QString &name) const { return dir.filePath(u"site/"_s + name); }

    QTemporaryDir dir;
    StandInWindow views;
    QWidget window;
    ScriptedPrompts prompts;
    ProgramStart start{views, window, prompts};
};

} // namespace

TEST_F(ProgramStartTest, TheCommandLinePageOpensSelectedAtTheFirstActivationOnly) {
    EXPECT_EQ(start.CommandFile(), Page(u"start.htm"_s));
    EXPECT_TRUE(start.CommandListFile().isEmpty());
    start.OpenCommandFileOnce();
    EXPECT_EQ(views.jumps, QStringList{Page(u"start.htm"_s)});
    EXPECT_EQ(views.folderView.selected, QStringList{Page(u"start.htm"_s)});
    start.OpenCommandFileOnce();
    EXPECT_EQ(views.jumps.size(), 1);
}

// Selected only where the page really is on show: not when the jump was
// refused, not while the views are disabled (the thumbnail folder).
TEST_F(ProgramStartTest, ThePageIsSelectedOnlyWhenItsFolderIsOnShow) {
    views.refuseJumps = true;
    start.OpenPageAsClicked(Page(u"other.htm"_s));
    EXPECT_EQ(views.jumps.size(), 1);
    EXPECT_TRUE(views.folderView.selected.isEmpty());

    views.refuseJumps = false;
    views.pages.setEnabled(false);
    start.OpenPageAsClicked(Page(u"other.htm"_s));
    EXPECT_TRUE(views.folderView.selected.isEmpty());

    views.pages.setEnabled(true);
    views.pages.setCurrentIndex(1);
    start.OpenPageAsClicked(Page(u"other.htm"_s));
    EXPECT_TRUE(views.folderView.selected.isEmpty());
}

// A page dropped before the first activation is the user's choice: the
// command-line page does not replace it. A file of another kind is refused
// with a beep and leaves the command-line page to open.
TEST_F(ProgramStartTest, ADroppedPageOvertakesTheCommandLinePageAndOtherFilesAreRefused) {
    start.DropFiles({Page(u"notes.txt"_s), Page(u"other.htm"_s)});
    EXPECT_TRUE(views.jumps.isEmpty());
    EXPECT_EQ(prompts.Count(ScriptedPrompts::Kind::Beep), 1);
    ASSERT_EQ(prompts.Count(ScriptedPrompts::Kind::Info), 1);
    EXPECT_TRUE(prompts.Texts(ScriptedPrompts::Kind::Info).first().contains(u"notes.txt"_s));
    EXPECT_EQ(start.DroppedFiles().size(), 2);

    start.DropFiles({Page(u"other.htm"_s)});
    start.OpenCommandFileOnce();
    EXPECT_EQ(views.jumps, QStringList{Page(u"other.htm"_s)});
    EXPECT_EQ(start.DroppedFiles(), QStringList{Page(u"other.htm"_s)});
}

TEST_F(ProgramStartTest, ARefusedDropLeavesTheCommandLinePageToOpen) {
    start.DropFiles({dir.filePath(u"site"_s)}); // a folder is never taken
    start.OpenCommandFileOnce();
    EXPECT_EQ(views.jumps, QStringList{Page(u"start.htm"_s)});
}

// A second start's page counts as the latest choice, as a drop does; a
// folder opens with no file given the caret.
TEST_F(ProgramStartTest, AHandedOverPathOpensAsOnTheCommandLine) {
    start.OpenHandedOverPath(dir.filePath(u"site"_s));
    EXPECT_EQ(views.jumps,
              QStringList{QFileInfo(dir.filePath(u"site"_s)).absoluteFilePath() + u'/'});
    start.OpenHandedOverPath(Page(u"other.htm"_s));
    EXPECT_EQ(views.folderView.selected, QStringList{Page(u"other.htm"_s)});
    start.OpenCommandFileOnce();
    EXPECT_EQ(views.jumps.size(), 2);
    start.OpenHandedOverPath(QString());
    EXPECT_EQ(views.jumps.size(), 2);
}
