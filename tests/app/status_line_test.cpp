#include "app/status_line.h"

#include "foundation/view_selection.h"

#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

class SettableSelection final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return current; }
    TSelectionInfo GetSelectionInfo() const override { return info; }
    QStringList SelectedFiles() const override { return {}; }
    QString GetViewFile(int, bool) const override { return {}; }
    QString current;
    TSelectionInfo info;
};

class StatusLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString &name : names)
            pages.addTab(new QWidget, name);
        status.BuildHintLine(&window);
        status.Attach(&pages, &extras);
    }
    const QStringList names{u"One"_s, u"Two"_s, u"Three"_s};
    SettableSelection selection;
    QWidget window;
    QTabWidget pages;
    QMenu extras;
    StatusLine status{selection, names};
};

} // namespace

TEST_F(StatusLineTest, ShowsTheActiveViewsCountAndCurrentFileOnceStarted) {
    extras.setEnabled(false);
    selection.info = {1, 2, 5};
    selection.current = u"/site/a.htm"_s;
    status.Update(); // still starting up: nothing changes
    EXPECT_EQ(pages.tabText(1), u"Two"_s);
    EXPECT_TRUE(status.HintText().isEmpty());

    status.Start();
    status.Update();
    EXPECT_EQ(pages.tabText(0), u"One"_s);
    EXPECT_EQ(pages.tabText(1), u"Two  (2 of 5 files selected)"_s);
    EXPECT_EQ(pages.tabText(2), u"Three"_s);
    EXPECT_EQ(status.HintText(), u"/site/a.htm"_s);
    EXPECT_TRUE(extras.isEnabled());
    EXPECT_TRUE(extras.menuAction()->isEnabled());

    // Another tab: the count moves with it; no selection disables Extras.
    selection.info = {2, 0, 3};
    status.Update();
    EXPECT_EQ(pages.tabText(1), u"Two"_s);
    EXPECT_EQ(pages.tabText(2), u"Three  (0 of 3 files selected)"_s);
    EXPECT_FALSE(extras.isEnabled());
    EXPECT_FALSE(extras.menuAction()->isEnabled());
}

// Only a change of page, counts or current file makes the status outdated,
// so a report that changes nothing leaves the welcome text on show.
TEST_F(StatusLineTest, IsOutdatedOnlyWhenWhatItShowsChanged) {
    status.Start();
    selection.info = {0, 1, 3};
    selection.current = u"/site/a.htm"_s;
    status.Update();
    status.ShowWelcome();
    EXPECT_FALSE(status.Outdated());
    EXPECT_TRUE(status.HintText().startsWith(u"Welcome"_s));

    selection.current = u"/site/b.htm"_s;
    EXPECT_TRUE(status.Outdated());
    selection.current = u"/site/a.htm"_s;
    selection.info.SelCount = 2;
    EXPECT_TRUE(status.Outdated());
    selection.info = {1, 1, 3};
    EXPECT_TRUE(status.Outdated());
}
