#include "folder_view/folder_file_list.h"
#include "folder_view/folder_file_model.h"

#include <QAbstractFileIconProvider>
#include <QAbstractItemModelTester>
#include <QListView>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

// Hands out one plain icon per call and counts the calls.
class CountingIcons final : public QAbstractFileIconProvider {
public:
    explicit CountingIcons(std::atomic<int> *calls) : calls_(calls) {}
    QIcon icon(const QFileInfo &) const override {
        ++*calls_;
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::blue);
        return QIcon(pixmap);
    }
    QIcon icon(IconType) const override { return {}; }

private:
    std::atomic<int> *calls_;
};

QStringList Paths(const QString &folder, int count, const QString &extension) {
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths << folder + u"page%1."_s.arg(i, 5, 10, QChar(u'0')) + extension;
    return paths;
}

TEST(FolderFileModel, ShowsNamesAndAsksForOneIconPerFileType) {
    std::atomic<int> calls = 0;
    FolderFileModel model(std::make_unique<CountingIcons>(&calls));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QStringList paths = Paths(u"/site/"_s, 300, u"htm"_s);
    paths << u"/site/a.HTM"_s << u"/site/pic.gif"_s << u"/site/README"_s << u"/s.d/Makefile"_s;
    model.SetPaths(paths);
    ASSERT_EQ(model.rowCount(), 304);
    EXPECT_EQ(model.index(0).data().toString(), u"page00000.htm"_s);
    EXPECT_EQ(model.index(303).data().toString(), u"Makefile"_s);
    EXPECT_EQ(model.index(303).data(FolderFileModel::PathRole).toString(), u"/s.d/Makefile"_s);

    EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isValid()); // icons are off
    model.SetShowIcons(true);
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_TRUE(model.index(row).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(calls, 3); // htm in either case, gif, and the names without extension
    model.SetShowIcons(false);
    EXPECT_FALSE(model.index(1).data(Qt::DecorationRole).isValid());
    model.SetPaths({});
    EXPECT_EQ(model.rowCount(), 0);
}

class FolderFileListTest : public ::testing::Test {
protected:
    std::atomic<int> iconCalls = 0;
    std::unique_ptr<FolderFileList> list;
    QListView *view = nullptr;
    QStringList events;

    void Make(bool showIcons, const QStringList &paths) {
        list = std::make_unique<FolderFileList>(showIcons,
                                                std::make_unique<CountingIcons>(&iconCalls));
        view = list->ListView();
        QObject::connect(list.get(), &TabView::currentFileChanged,
                         [this] { events << u"current"_s; });
        QObject::connect(list.get(), &TabView::selectionChanged,
                         [this] { events << u"selection"_s; });
        list->ShowFolderFiles(paths);
        events.clear();
    }
    void Show() {
        view->resize(149, 200);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    QModelIndex Row(int row) const { return view->model()->index(row, 0); }
    void Click(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(Row(row)).center());
    }
    QStringList Site() const {
        return {u"/site/about.htm"_s, u"/site/index.htm"_s, u"/site/news.htm"_s,
                u"/site/zeta.htm"_s};
    }
};

// The current file is the caret entry while it is selected and no other
// entry is; every entry's path can be asked for, selected or not.
TEST_F(FolderFileListTest, CurrentFileAndViewFilesFollowCaretAndSelection) {
    Make(false, Site());
    Show();
    EXPECT_EQ(list->CurrentFile(), QString());
    Click(1);
    EXPECT_EQ(list->CurrentFile(), u"/site/index.htm"_s);
    EXPECT_EQ(list->SelectedCount(), 1);

    Click(3, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedCount(), 2);
    EXPECT_EQ(list->CurrentFile(), QString()); // two selected
    Click(0, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedFiles(),
              (QStringList{u"/site/about.htm"_s, u"/site/index.htm"_s, u"/site/zeta.htm"_s}));
    EXPECT_EQ(list->ViewFile(0, true), u"/site/about.htm"_s);
    EXPECT_EQ(list->ViewFile(2, true), QString());
    EXPECT_EQ(list->ViewFile(2, false), u"/site/news.htm"_s);
    EXPECT_EQ(list->ViewFile(4, false), QString());
    EXPECT_EQ(list->ViewFile(-1, false), QString());

    // One entry selected but the caret elsewhere: no current file.
    Click(2);
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(view->currentIndex().row(), 3);
    EXPECT_EQ(list->SelectedCount(), 1);
    EXPECT_EQ(list->CurrentFile(), QString());

    // Shift extends from the anchor.
    Click(0);
    Click(2, Qt::ShiftModifier);
    EXPECT_EQ(list->SelectedCount(), 3);
}

// A move of the caret is reported once and before the selection, for the
// mouse and the keyboard alike; a caret move alone is reported too, since
// the current file depends on it.
TEST_F(FolderFileListTest, TheCaretMoveIsReportedBeforeTheSelection) {
    Make(false, Site());
    Show();
    view->setFocus(); // puts the caret on the first entry, as a first click would
    events.clear();
    Click(1);
    EXPECT_EQ(events.first(), u"current"_s);
    EXPECT_EQ(events.count(u"current"_s), 1);
    EXPECT_EQ(events.last(), u"selection"_s);

    events.clear();
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(events, (QStringList{u"current"_s, u"selection"_s}));
    events.clear();
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(events, (QStringList{u"current"_s, u"selection"_s}));
    events.clear();
    Click(1, Qt::ControlModifier);
    Click(1, Qt::ControlModifier); // the caret stays: only the selection changes
    EXPECT_EQ(events.count(u"current"_s), 1);
    EXPECT_EQ(events.last(), u"selection"_s);

    // The main window's own moves are not reported as the user's.
    events.clear();
    list->ShowFolderFiles(Site());
    list->FocusFile(u"/site/NEWS.HTM"_s);
    list->SelectFirstIfNone();
    EXPECT_EQ(events.count(u"current"_s), 0);
    EXPECT_EQ(list->CurrentFile(), u"/site/about.htm"_s);
}

// Ctrl+A selects every entry when it is released with Ctrl alone held.
TEST_F(FolderFileListTest, CtrlASelectsAllOnRelease) {
    Make(false, Site());
    Show();
    QTest::keyPress(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedCount(), 0);
    QTest::keyRelease(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedCount(), 4);
    EXPECT_EQ(list->CurrentFile(), QString());

    view->clearSelection();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(list->SelectedCount(), 0);
}

// Icons are made for the rows on screen only, once per file type, and can
// be switched off and on again without changing the rows' layout.
TEST_F(FolderFileListTest, IconsAreMadeForThePaintedRowsOnly) {
    QStringList paths;
    for (int i = 0; i < 2000; ++i)
        paths << u"/site/page."_s + QString::number(i, 36); // a type of its own each
    Make(true, paths);
    Show();
    QTest::qWait(50);
    const int painted = iconCalls;
    EXPECT_GT(painted, 0);
    EXPECT_LT(painted, 100);

    const QRect withIcons = view->visualRect(Row(5));
    list->SetShowIcons(false);
    EXPECT_FALSE(Row(0).data(Qt::DecorationRole).isValid());
    FolderFileList fresh(false);
    fresh.ShowFolderFiles(paths);
    fresh.ListView()->resize(view->size());
    fresh.ListView()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fresh.ListView()));
    QListView *other = fresh.ListView();
    EXPECT_EQ(view->visualRect(Row(5)), other->visualRect(other->model()->index(5, 0)));
    list->SetShowIcons(true);
    EXPECT_EQ(view->visualRect(Row(5)), withIcons);
    EXPECT_TRUE(Row(0).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(iconCalls, painted); // cached
}

} // namespace
