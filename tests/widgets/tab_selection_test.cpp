// The selection of the tab in front: every question goes to the view of the
// context's active tab, and only that view's changes are passed on as the
// context's selectionChanged, for as long as the selection lives.
#include "foundation/folder_context.h"
#include "widgets/tab_selection.h"
#include "widgets/tab_view.h"

#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

// A view of its own named entries, all of them selected but the first.
class NamedView final : public TabView {
public:
    explicit NamedView(QStringList paths) : paths_(std::move(paths)) {}
    QWidget *Widget() override { return &widget_; }
    int Count() const override { return int(paths_.size()); }
    int SelectedCount() const override { return std::max(0, Count() - 1); }
    QString CurrentFile() const override { return paths_.value(0); }
    QStringList SelectedFiles() const override { return paths_.mid(1); }
    QString ViewFile(int i, bool selectedOnly) const override {
        return selectedOnly && i == 0 ? QString() : paths_.value(i);
    }

private:
    QStringList paths_;
    QWidget widget_;
};

class TabSelectionTest : public ::testing::Test {
protected:
    FolderContext context;
    NamedView folder{{u"/f/a.htm"_s, u"/f/b.htm"_s}};
    NamedView thumbs{{u"/t/a.htm"_s, u"/t/b.htm"_s, u"/t/c.htm"_s}};
    NamedView lists{{u"/l/a.htm"_s}};
    std::unique_ptr<TabSelection> selection =
        std::make_unique<TabSelection>(context, std::array<TabView *, 3>{&folder, &thumbs, &lists});
};

} // namespace

TEST_F(TabSelectionTest, AnswersFromTheViewOfTheActiveTab) {
    EXPECT_EQ(selection->GetCurrentFile(), u"/f/a.htm"_s);
    context.SetActiveTab(1);
    EXPECT_EQ(selection->GetCurrentFile(), u"/t/a.htm"_s);
    const TSelectionInfo info = selection->GetSelectionInfo();
    EXPECT_EQ(info.Page, 1);
    EXPECT_EQ(info.SelCount, 2);
    EXPECT_EQ(info.Count, 3);
    EXPECT_EQ(selection->SelectedFiles(), (QStringList{u"/t/b.htm"_s, u"/t/c.htm"_s}));
    EXPECT_EQ(selection->GetViewFile(2, true), u"/t/c.htm"_s);
    EXPECT_TRUE(selection->GetViewFile(0, true).isEmpty());
    context.SetActiveTab(2);
    EXPECT_EQ(selection->GetSelectionInfo().Page, 2);
    EXPECT_EQ(selection->GetViewFile(0, false), u"/l/a.htm"_s);
}

TEST_F(TabSelectionTest, PassesOnOnlyTheActiveViewsChangesWhileItLives) {
    QSignalSpy changed(&context, &FolderContext::selectionChanged);
    emit thumbs.selectionChanged(); // behind another tab
    EXPECT_EQ(changed.size(), 0);
    emit folder.selectionChanged();
    EXPECT_EQ(changed.size(), 1);
    context.SetActiveTab(1);
    emit folder.selectionChanged();
    emit thumbs.selectionChanged();
    EXPECT_EQ(changed.size(), 2);

    // Gone before its views: a later change reaches nothing.
    selection.reset();
    emit thumbs.selectionChanged();
    EXPECT_EQ(changed.size(), 2);
}
