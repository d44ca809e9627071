// Extras > Check Links in the main window: the entry and its shortcut, the
// window over the folder on show, and a report row opening its page in the
// Folder View and the editor at the row's line, after the question about
// unsaved text.
#include "app/main_window.h"
#include "editor/editor_document.h"
#include "main_window_fixture.h"
#include "sitecheck/window/check_links_window.h"
#include "temp_files.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::AnsweringDocument;
using velmora::testing::MainWindowFixture;
using namespace Qt::StringLiterals;

namespace {

class MainWindowCheckLinksTest : public MainWindowFixture {
protected:
    void SetUp() override {
        WriteSite(u"a.htm"_s, "<p>");
        WriteSite(u"sub/page.htm"_s, "one\ntwo\nthree\n<a href=gone.htm>\n");
        window = MakeWindow(Services(nullptr, &document));
        window->JumpToFileAndFolder(Site(u"a.htm"_s));
    }

    QAction *CheckLinksAction() const {
        for (QAction *menu : window->menuBar()->actions()) {
            if (menu->text() != u"&Extras" || !menu->menu())
                continue;
            for (QAction *entry : menu->menu()->actions()) {
                if (entry->text() == u"Check &Links...")
                    return entry;
            }
        }
        return nullptr;
    }

    CheckLinksWindow *Checker() const { return window->findChild<CheckLinksWindow *>(); }
    // What a double click on a row of the report asks.
    void OpenRow(const QString &page, int line) {
        if (!Checker())
            CheckLinksAction()->trigger();
        emit Checker()->OpenPageRequested(page, line);
    }

    AnsweringDocument document{prompts};
};

TEST_F(MainWindowCheckLinksTest, TheShortcutOpensTheWindowOverTheFolderOnShow) {
    QAction *action = CheckLinksAction();
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(u"Ctrl+Shift+L"_s));
    EXPECT_EQ(Checker(), nullptr);
    // No file is selected, so the Extras menu is off; the shortcut still works.
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    CheckLinksWindow *checker = Checker();
    ASSERT_NE(checker, nullptr);
    EXPECT_TRUE(checker->isVisible());
    EXPECT_FALSE(checker->isModal());
    EXPECT_EQ(QDir(checker->findChild<QLineEdit *>(u"CheckFolder"_s)->text()).absolutePath(),
              QDir(Site()).absolutePath());
    // Shown again, it is the same window.
    action->trigger();
    EXPECT_EQ(Checker(), checker);
}

TEST_F(MainWindowCheckLinksTest, ARowOpensItsPageAtTheLineAfterTheQuestion) {
    const QString page = Site(u"sub/page.htm"_s);
    // Cancel keeps the folder on show and the document's text.
    document.answer = SaveChangesReply::Cancel;
    const int asked = document.asked;
    OpenRow(page, 4);
    EXPECT_EQ(document.asked, asked + 1);
    EXPECT_EQ(QDir(window->Context().Folder()).absolutePath(), QDir(Site()).absolutePath());
    EXPECT_NE(document.File(), page);

    document.answer = SaveChangesReply::NotAsked;
    OpenRow(page, 4);
    EXPECT_EQ(QDir(window->Context().Folder()).absolutePath(), QDir(Site(u"sub"_s)).absolutePath());
    EXPECT_EQ(window->Selection().GetCurrentFile(), page);
    EXPECT_EQ(document.File(), page);
    EXPECT_EQ(document.Buffer().SelectionStart(),
              qsizetype(QByteArray("one\ntwo\nthree\n").size()));
}

} // namespace
