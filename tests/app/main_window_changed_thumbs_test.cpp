// Update Changed Thumbnails through the main window, with the real rendering
// engine: it makes the missing and outdated thumbnails of the folder shown,
// whatever is selected, under the progress window, and redraws their tiles.
#include "app/context_menu_rules.h"
#include "app/main_window.h"
#include "main_window_fixture.h"
#include "recording_progress.h"
#include "render/render_profile.h"
#include "temp_files.h"
#include "thumbs/thumbnail_store.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

// The Thumbnail View's tiles as the window hands them over; records which
// tiles were drawn again.
class TilesDouble final : public TabView {
public:
    QWidget *Widget() override { return &widget; }
    int Count() const override { return int(paths.size()); }
    int SelectedCount() const override { return 0; }
    QString CurrentFile() const override { return {}; }
    QStringList SelectedFiles() const override { return {}; }
    QString ViewFile(int, bool) const override { return {}; }
    void ShowFolderFiles(const QStringList &files) override { paths = files; }
    void RefreshEntry(int i) override { refreshed << i; }
    QWidget widget;
    QStringList paths;
    QList<int> refreshed;
};

class MainWindowChangedThumbsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"site"_s));
        StartProgram();
        program->Config().ThumbBaseIndex = 0; // small captures keep the tests quick
        MainWindowServices services = Services(&profile);
        services.progressWindows = [this]() -> std::unique_ptr<ProgressWindow> {
            return std::make_unique<RecordingProgress>(progress);
        };
        MainWindowViews views;
        auto tiles = std::make_unique<TilesDouble>();
        tilesView = tiles.get();
        views.thumbs = std::move(tiles);
        window = MakeWindow(services, std::move(views));
    }

    // A page saved an hour ago; with thumbAge its stand-in thumbnail, dated
    // thumbAge seconds after the page.
    QString Page(const QString &name, std::optional<int> thumbAge) {
        const QString page = WriteSite(name, "<body style='background:#c00020'>");
        SetModified(page, saved);
        if (thumbAge) {
            WriteBytes(Thumb(page), "stand-in");
            SetModified(Thumb(page), saved.addSecs(*thumbAge));
        }
        return page;
    }
    QString Thumb(const QString &page) const { return window->Thumbnails().ThumbPathOf(page); }
    void UpdateFromTheContextMenu() { window->Commands().PopUpEntry(UpdateChangedItem)->trigger(); }

    RenderProfile profile;
    ProgressLog progress;
    TilesDouble *tilesView = nullptr;
    const QDateTime saved = QDateTime::currentDateTime().addSecs(-3600);
};

TEST_F(MainWindowChangedThumbsTest, MakesTheMissingAndOutdatedThumbnailsOfTheFolderOnly) {
    const QStringList pages{Page(u"a.htm"_s, 60), Page(u"b.htm"_s, -60),
                            Page(u"c.htm"_s, std::nullopt), Page(u"d.htm"_s, 0)};
    window->JumpToFileAndFolder(pages[0]);
    FileList()->clearSelection(); // the command needs no selection

    QAction *entry = window->Commands().PopUpEntry(UpdateChangedItem);
    EXPECT_EQ(entry->text(), u"Update Changed Thumbnails"_s);
    window->Commands().PopUpContextMenu(window->mapToGlobal(QPoint(40, 40)));
    EXPECT_TRUE(entry->isEnabled());
    window->Commands().ContextMenu()->close();

    UpdateFromTheContextMenu();
    EXPECT_EQ(progress.made, 1);
    EXPECT_EQ(progress.barMaximum, 2);
    EXPECT_EQ(progress.texts,
              (QStringList{u"(1 of 2): "_s + pages[1], u"(2 of 2): "_s + pages[2]}));
    EXPECT_EQ(progress.steps, 2);
    EXPECT_EQ(tilesView->refreshed, (QList<int>{1, 2}));
    // The two made are real thumbnails, newer than their pages; the up to
    // date ones are left exactly as they were.
    for (const QString &page : {pages[1], pages[2]}) {
        EXPECT_NE(ReadBytes(Thumb(page)).left(2), "st") << page.toStdString();
        EXPECT_GE(QFileInfo(Thumb(page)).lastModified(), QFileInfo(page).lastModified());
    }
    EXPECT_EQ(ReadBytes(Thumb(pages[0])), "stand-in");
    EXPECT_EQ(ReadBytes(Thumb(pages[3])), "stand-in");
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(prompts.calls.isEmpty());

    // Nothing left to do: said so, without a progress window.
    UpdateFromTheContextMenu();
    EXPECT_EQ(progress.made, 1);
    EXPECT_EQ(prompts.Texts(ScriptedPrompts::Kind::Info),
              QStringList{u"Every thumbnail of this folder is up to date."_s});
}

TEST_F(MainWindowChangedThumbsTest, TheExtrasMenuOffersItAndAnEmptyFolderDisablesTheEntry) {
    QAction *action = window->findChild<QAction *>(u"UpdateChangedThumbs"_s);
    ASSERT_NE(action, nullptr);
    const QMenu *extras = window->findChild<QMenu *>(u"SnapShot1"_s);
    ASSERT_NE(extras, nullptr);
    EXPECT_TRUE(extras->actions().contains(action));

    const QString page = Page(u"a.htm"_s, std::nullopt);
    window->JumpToFileAndFolder(page);
    action->trigger();
    EXPECT_TRUE(QFileInfo(Thumb(page)).isFile());
    EXPECT_EQ(tilesView->refreshed, QList<int>{0});

    // A folder without files: nothing to choose in the context menu.
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"empty"_s));
    window->JumpToFileAndFolder(dir.filePath(u"empty/x.htm"_s));
    window->Commands().PopUpContextMenu(window->mapToGlobal(QPoint(40, 40)));
    EXPECT_FALSE(window->Commands().PopUpEntry(UpdateChangedItem)->isEnabled());
    window->Commands().ContextMenu()->close();
}

} // namespace
} // namespace velmora::testing
