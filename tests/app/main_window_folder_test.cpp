// The main window's folder selection with its own views: the folder tree,
// the drive and filter boxes and the question before they replace the
// editor's text, changes of the folder on disk, and the window's hints.
#include "app/main_window.h"
#include "editor/editor_document.h"
#include "foundation/desktop_services.h"
#include "main_window_fixture.h"
#include "temp_files.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::AnsweringDocument;
using velmora::testing::MainWindowFixture;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;

namespace {

QStringList Names(const QAbstractItemView *view) {
    QStringList names;
    for (int i = 0; i < view->model()->rowCount(); ++i)
        names << view->model()->index(i, 0).data().toString();
    return names;
}

QList<int> SelectedRows(const QAbstractItemView *view) {
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

class MainWindowFolderTest : public MainWindowFixture {
protected:
    void SetUp() override {
        for (const char *folder : {"site", "other"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromLatin1(folder)));
        for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm"})
            Page(QString::fromLatin1(name));
        WriteBytes(dir.filePath(u"other/x.htm"_s), "<p>");
        window = MakeWindow(Services(nullptr, &document));
        window->JumpToFileAndFolder(Site(u"a.htm"_s));
        tree = window->findChild<QTreeView *>(u"LBDir"_s);
        list = window->findChild<QListView *>(u"LBFile"_s);
        tiles = window->findChild<QAbstractItemView *>(u"TabThumb"_s);
        filter = window->findChild<QComboBox *>(u"CBFilter"_s);
        drive = window->findChild<QComboBox *>(u"CBDrive"_s);
        ASSERT_TRUE(tree && list && tiles && filter && drive);
        model = qobject_cast<QFileSystemModel *>(tree->model());
        ASSERT_NE(model, nullptr);
    }
    void Page(const QString &name) { WriteSite(name, "<p>"); }
    QModelIndex TreeEntry(const QString &folder) const {
        return model->index(dir.filePath(folder));
    }
    QString TreeCurrent() const { return model->filePath(tree->currentIndex()); }
    // As a click on the row does: the caret goes there and selects it alone.
    void Select(int row) { list->setCurrentIndex(list->model()->index(row, 0)); }
    // Waits for the file list to be listed anew after a change on disk.
    bool Relisted() {
        QSignalSpy reset(list->model(), &QAbstractItemModel::modelReset);
        return reset.wait(5000);
    }

    AnsweringDocument document{prompts};
    QTreeView *tree = nullptr;
    QListView *list = nullptr;
    QAbstractItemView *tiles = nullptr;
    QComboBox *filter = nullptr;
    QComboBox *drive = nullptr;
    QFileSystemModel *model = nullptr;
};

// The question before a folder or a filter change: Cancel keeps the folder
// (and the tree on it), the filter (and its box) and the editor's text; No
// goes on and asks no second time.
TEST_F(MainWindowFolderTest, CancelOnAFolderOrFilterChangeKeepsFolderFilterAndText) {
    Select(1);
    document.SetFileForTest(Site(u"b.htm"_s), 1);
    document.answer = SaveChangesReply::Cancel;
    const int asked = document.asked;
    const QStringList names{u"a.htm"_s, u"b.htm"_s, u"c.htm"_s, u"d.htm"_s};
    const auto nothingChanged = [&](const char *what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(window->Context().Folder(), Site());
        EXPECT_EQ(TreeCurrent(), dir.filePath(u"site"_s));
        EXPECT_EQ(filter->currentIndex(), 0);
        EXPECT_EQ(window->findChild<QLabel *>(u"PanelFilterTop"_s)->text(),
                  u" Filter: *.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht"_s);
        EXPECT_EQ(drive->currentIndex(), 0);
        EXPECT_EQ(Names(list), names);
        EXPECT_EQ(window->Selection().GetCurrentFile(), Site(u"b.htm"_s));
        EXPECT_EQ(document.File(), Site(u"b.htm"_s));
        EXPECT_EQ(document.FileTime(), 1);
    };

    const QModelIndex other = TreeEntry(u"other"_s);
    tree->setCurrentIndex(other);
    emit tree->doubleClicked(other);
    EXPECT_EQ(document.asked, asked + 1);
    nothingChanged("folder tree");

    tree->setCurrentIndex(other);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(document.asked, asked + 2);
    nothingChanged("Enter in the folder tree");

    filter->setCurrentIndex(2); // "HTM(L) only"
    emit filter->activated(2);
    EXPECT_EQ(document.asked, asked + 3);
    nothingChanged("filter box");

    drive->setCurrentIndex(1);
    emit drive->activated(1);
    EXPECT_EQ(document.asked, asked + 4);
    nothingChanged("drive box");

    // No: the other folder opens with the preview emptied, asked once.
    document.answer = SaveChangesReply::No;
    tree->setCurrentIndex(other);
    emit tree->doubleClicked(other);
    EXPECT_EQ(document.asked, asked + 5);
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"other/"_s));
    EXPECT_EQ(Names(list), QStringList{u"x.htm"_s});
    EXPECT_TRUE(document.File().isEmpty());

    // No for a filter change: the filter is applied.
    document.SetFileForTest(dir.filePath(u"other/x.htm"_s), document.FileTime());
    filter->setCurrentIndex(2);
    emit filter->activated(2);
    EXPECT_EQ(document.asked, asked + 6);
    EXPECT_EQ(filter->currentIndex(), 2);
    EXPECT_EQ(window->findChild<QLabel *>(u"PanelFilterTop"_s)->text(), u" Filter: *.htm"_s);
}

// Enter (either key) on a folder of the tree opens it, as a click does; a
// folder opened already is not listed again.
TEST_F(MainWindowFolderTest, EnterOnAFolderOfTheTreeOpensIt) {
    tree->setCurrentIndex(TreeEntry(u"other"_s));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"other/"_s));
    EXPECT_EQ(Names(list), QStringList{u"x.htm"_s});

    tree->setCurrentIndex(TreeEntry(u"site"_s));
    QTest::keyClick(tree, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window->Context().Folder(), Site());
    EXPECT_EQ(Names(list).size(), 4);

    Select(2);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(window->Selection().GetCurrentFile(), Site(u"c.htm"_s));
}

// Files added or removed by another program show in both views after a
// moment; the selection and the caret stay on the files still there, and the
// file on show is neither asked for nor shown again.
TEST_F(MainWindowFolderTest, ChangesOnDiskAreListedKeepingSelectionAndCaret) {
    Select(1);
    document.SetFileForTest(Site(u"b.htm"_s), 1);
    document.answer = SaveChangesReply::Cancel;
    const int asked = document.asked;

    Page(u"a0.htm"_s);
    ASSERT_TRUE(QFile::remove(Site(u"c.htm"_s)));
    ASSERT_TRUE(Relisted());
    EXPECT_EQ(Names(list), (QStringList{u"a.htm"_s, u"a0.htm"_s, u"b.htm"_s, u"d.htm"_s}));
    EXPECT_EQ(SelectedRows(list), QList<int>{2});
    EXPECT_EQ(window->Selection().GetCurrentFile(), Site(u"b.htm"_s));
    EXPECT_EQ(window->Status().HintText(), Site(u"b.htm"_s));
    EXPECT_EQ(window->Pages()->tabText(0), u"Folder View  (1 of 4 files selected)"_s);
    EXPECT_EQ(document.asked, asked);
    EXPECT_EQ(document.File(), Site(u"b.htm"_s));
    EXPECT_EQ(tiles->model()->rowCount(), 4);

    // Two selected, the caret on a third that goes: the two stay selected
    // and the caret goes to the entry now in its place. F5 lists at once.
    document.answer = SaveChangesReply::NotAsked;
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select);
    list->selectionModel()->setCurrentIndex(list->model()->index(3, 0),
                                            QItemSelectionModel::NoUpdate);
    ASSERT_EQ(SelectedRows(list), (QList<int>{0, 2}));
    ASSERT_TRUE(QFile::remove(Site(u"d.htm"_s)));
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(Names(list), (QStringList{u"a.htm"_s, u"a0.htm"_s, u"b.htm"_s}));
    EXPECT_EQ(SelectedRows(list), (QList<int>{0, 2}));
    EXPECT_EQ(list->currentIndex().row(), 2);
    EXPECT_EQ(window->Pages()->tabText(0), u"Folder View  (2 of 3 files selected)"_s);

    // The file on show goes: the preview follows the selection as after a
    // click, asking for the text first.
    Select(1);
    document.SetFileForTest(Site(u"a0.htm"_s), document.FileTime());
    const int before = document.asked;
    ASSERT_TRUE(QFile::remove(Site(u"a0.htm"_s)));
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(document.asked, before + 1);
    EXPECT_EQ(window->Selection().GetCurrentFile(), QString());
    EXPECT_EQ(Names(list), (QStringList{u"a.htm"_s, u"b.htm"_s}));
}

// While a run over the selected files has the window disabled, the rows stay
// as they are; the change is listed when the run is over.
TEST_F(MainWindowFolderTest, ChangesWaitWhileTheWindowIsBusy) {
    window->setEnabled(false);
    Page(u"new.htm"_s);
    QTest::qWait(600);
    EXPECT_EQ(Names(list).size(), 4);
    window->setEnabled(true);
    ASSERT_TRUE(Relisted());
    EXPECT_EQ(Names(list).size(), 5);
}

// The tiles of the Thumbnail View follow the folder too, their selection
// kept.
TEST_F(MainWindowFolderTest, TheThumbnailViewFollowsChangesOnDisk) {
    window->Pages()->setCurrentIndex(TForm1::TabThumb);
    tiles->setCurrentIndex(tiles->model()->index(2, 0));
    ASSERT_EQ(window->Selection().GetCurrentFile(), Site(u"c.htm"_s));
    QSignalSpy reset(tiles->model(), &QAbstractItemModel::modelReset);
    ASSERT_TRUE(QFile::remove(Site(u"a.htm"_s)));
    ASSERT_TRUE(reset.wait(5000));
    EXPECT_EQ(tiles->model()->rowCount(), 3);
    EXPECT_EQ(SelectedRows(tiles), QList<int>{1});
    EXPECT_EQ(window->Selection().GetCurrentFile(), Site(u"c.htm"_s));
    EXPECT_EQ(window->Pages()->tabText(1), u"Thumbnail View  (1 of 3 files selected)"_s);
}

// Show Hints off holds back every tooltip of the window, whichever control
// has it; on, each control shows its own again.
TEST_F(MainWindowFolderTest, ShowHintsDecidesForEveryTooltipOfTheWindow) {
    QList<QPointer<QWidget>> hinted;
    QStringList names;
    for (QWidget *child : window->findChildren<QWidget *>())
        if (!child->toolTip().isEmpty()) {
            hinted << child;
            names << child->objectName();
        }
    for (const QString &name :
         {u"SBBrowser"_s, u"SBEditor"_s, u"BSave"_s, u"BSaveAs"_s, u"PanelFilterTop"_s,
          u"CBSnapBase"_s, u"BMakeThumb"_s, u"BDelThumb"_s, u"BThumbSelAll"_s, u"CBFilter"_s,
          u"CBDrive"_s, u"ImgMini"_s, u"LBFile"_s})
        EXPECT_TRUE(names.contains(name)) << name.toStdString();

    const auto shows = [](QWidget *widget) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(widget, &help);
        const bool shown = QToolTip::isVisible();
        QToolTip::hideText();
        return shown;
    };
    const auto setHints = [&](bool on) {
        QTimer::singleShot(0, [on] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QCheckBox *>(u"CBShowHints"_s)->setChecked(on);
            dialog->findChild<QPushButton *>(u"BOK"_s)->click();
        });
        window->findChild<QAction *>(u"GeneralOptions1"_s)->trigger();
    };
    for (const QPointer<QWidget> &widget : hinted)
        EXPECT_TRUE(shows(widget)) << widget->objectName().toStdString();

    setHints(false);
    ASSERT_FALSE(program->Config().DoShowHints);
    for (const QPointer<QWidget> &widget : hinted)
        EXPECT_FALSE(shows(widget)) << widget->objectName().toStdString();

    setHints(true);
    for (const QPointer<QWidget> &widget : hinted)
        EXPECT_TRUE(shows(widget)) << widget->objectName().toStdString();
}

// The folder tree over a folder of many folders: at start it shows the
// current folder; a click opens a folder and leaves every row where it was,
// so the next click lands where it is aimed; typing a name finds its folder.
class FolderTreeTest : public MainWindowFixture {
protected:
    void SetUp() override {
        for (int i = 0; i < 60; ++i)
            ASSERT_TRUE(QDir(dir.path()).mkpath(u"many/f%1"_s.arg(i, 2, 10, QChar(u'0'))));
        for (const char *name : {"alpha", "gamma", "zeta"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(u"many/"_s + QString::fromLatin1(name)));
        WriteBytes(dir.filePath(u"many/f45/index.htm"_s), "<p>");
        WriteBytes(dir.filePath(u"prg.ini"_s),
                   "[PATHS]\nVIEW_PATH=" + dir.filePath(u"many/f45/"_s).toUtf8() + "\n");
        window = MakeWindow(Services(nullptr, &document));
        tree = window->findChild<QTreeView *>(u"LBDir"_s);
        ASSERT_NE(tree, nullptr);
        model = qobject_cast<QFileSystemModel *>(tree->model());
        ASSERT_NE(model, nullptr);
    }

    QModelIndex Entry(const QString &folder) const { return model->index(dir.filePath(folder)); }
    bool Shown(const QModelIndex &index) const {
        return index.isValid() && tree->viewport()->rect().contains(tree->visualRect(index));
    }
    // The folders of "many" are read in the background; true once all are
    // listed in the tree.
    bool AllListed() const {
        return QTest::qWaitFor([&] { return model->rowCount(Entry(u"many"_s)) == 63; }, 5000);
    }

    AnsweringDocument document{prompts};
    QTreeView *tree = nullptr;
    QFileSystemModel *model = nullptr;
};

TEST_F(FolderTreeTest, TheCurrentFolderIsShownAtStart) {
    ASSERT_EQ(window->Context().Folder(), dir.filePath(u"many/f45/"_s));
    ASSERT_TRUE(AllListed());
    QTest::qWait(300); // the tree sorts what it read after a moment
    EXPECT_EQ(tree->currentIndex(), Entry(u"many/f45"_s));
    EXPECT_TRUE(Shown(Entry(u"many/f45"_s)));
}

TEST_F(FolderTreeTest, AClickLeavesTheRowsWhereTheyWere) {
    ASSERT_TRUE(AllListed());
    QTest::qWait(300);
    const QModelIndex f30 = Entry(u"many/f30"_s);
    tree->scrollTo(f30, QAbstractItemView::PositionAtTop);
    QScrollBar *bar = tree->verticalScrollBar();
    const int rowHeight = tree->visualRect(f30).height();
    // The row at the bottom edge, partly hidden, and then its neighbours.
    const int bottom = tree->viewport()->height() - rowHeight / 4;
    for (const int y : {bottom, bottom - rowHeight, bottom}) {
        const int x = tree->visualRect(f30).left() + 10;
        const QModelIndex target = tree->indexAt(QPoint(x, y));
        ASSERT_TRUE(target.isValid());
        const int scrolled = bar->value();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(x, y));
        EXPECT_EQ(window->Context().Folder(), model->filePath(target) + u'/');
        EXPECT_EQ(bar->value(), scrolled);
        EXPECT_EQ(tree->indexAt(QPoint(x, y)), target);
        QTest::qWait(QApplication::doubleClickInterval() + 50); // the next is a click of its own
    }
}

TEST_F(FolderTreeTest, TypingANameFindsItsFolder) {
    ASSERT_TRUE(AllListed());
    QTest::qWait(300);
    tree->setFocus();
    QTest::keyClicks(tree, u"gam"_s);
    EXPECT_EQ(model->filePath(tree->currentIndex()), dir.filePath(u"many/gamma"_s));
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(tree, u"f12"_s);
    EXPECT_EQ(model->filePath(tree->currentIndex()), dir.filePath(u"many/f12"_s));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"many/f12/"_s));
}

} // namespace

namespace {

// A view that reports one last change as it goes, as a view taking its
// widget down may: a selection, a recount and a request to open.
class LastWordView final : public TabView {
public:
    ~LastWordView() override {
        emit currentFileChanged();
        emit selectionChanged();
        emit statusChanged();
        emit openRequested();
    }
    QWidget *Widget() override { return &widget; }
    int Count() const override { return 1; }
    int SelectedCount() const override { return 1; }
    QString CurrentFile() const override { return u"/site/other.htm"_s; }
    QStringList SelectedFiles() const override { return {CurrentFile()}; }
    QString ViewFile(int i, bool) const override { return i == 0 ? CurrentFile() : QString(); }
    QWidget widget;
};

} // namespace

// The window goes while its views still report: none of it reaches the
// window being taken down, so nothing asks to save the editor's changes,
// opens the viewer, or touches parts already gone.
TEST(MainWindowTeardownTest, ViewsReportingAsTheyGoReachNoHalfDestroyedWindow) {
    QTemporaryDir dir;
    velmora::testing::ScriptedPrompts prompts;
    velmora::testing::RecordingDesktop desktop;
    AnsweringDocument document{prompts};
    document.answer = SaveChangesReply::Yes; // as if the editor held changes
    Program program(ProgramFolders::At(dir.path()), prompts);
    program.Start(QSize(1000, 800));
    MainWindowViews views;
    views.folder = std::make_unique<LastWordView>();
    views.thumbs = std::make_unique<LastWordView>();
    auto window = std::make_unique<TForm1>(
        MainWindowServices{program, prompts, prompts, desktop, nullptr, &document},
        std::move(views));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_FALSE(window->StartingUp());
    prompts.Clear();
    document.asked = 0;

    window.reset();
    EXPECT_EQ(document.asked, 0);
    EXPECT_TRUE(prompts.calls.isEmpty());
}
