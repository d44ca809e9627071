#include "filelists/file_list_model.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/file_lists_page.h"
#include "filelists/window/form_ask_fname.h"
#include "filelists/window/form_report.h"
#include "filelists/window/form_search.h"
#include "foundation/folder_context.h"
#include "scripted_prompts.h"
#include "temp_files.h"
#include "widgets/caption_panel.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;

namespace {

// The page with its folders in a temporary folder; the dialogs are answered
// by the test's handlers, one per dialog kind, instead of being shown.
class PageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString site = dir.path() + u"/site/"_s;
    QString lists = dir.path() + u"/FILELISTS/"_s;
    ScriptedPrompts prompts;
    FolderContext folder;
    QStringList deleted;
    std::function<int(TFormSearch &)> onSearch = [](TFormSearch &) { return 0; };
    std::function<int(TFormAskFName &)> onSave = [](TFormAskFName &) { return 0; };
    std::function<int(TFormReport &)> onReport = [](TFormReport &) { return 0; };
    QStringList saveMessages; // what the save dialog showed, each time
    std::unique_ptr<FileListsPage> page;

    void SetUp() override {
        QDir().mkpath(site);
        QDir().mkpath(lists);
        FileListsContext context(prompts, prompts);
        context.listDir = lists;
        context.thumbDir = dir.path() + u"/THUMBS/"_s;
        folder.SetFolder(site);
        folder.SetMask(u"*.htm"_s);
        context.folder = &folder;
        context.deleteFile = [this](const QString &path) {
            deleted << path;
            QFile::remove(path);
        };
        context.runDialog = [this](QDialog &dialog) {
            if (auto *search = qobject_cast<TFormSearch *>(&dialog))
                return onSearch(*search);
            if (auto *save = qobject_cast<TFormAskFName *>(&dialog)) {
                saveMessages << save->Memo1()->toPlainText();
                return onSave(*save);
            }
            if (auto *report = qobject_cast<TFormReport *>(&dialog))
                return onReport(*report);
            return 0;
        };
        page = std::make_unique<FileListsPage>(std::move(context));
        page->resize(800, 400);
        page->show();
    }

    void MakePages(std::initializer_list<const char *> names) {
        for (const char *name : names)
            WriteBytes(site + QString::fromLatin1(name), name);
    }
    // Starts the search with the given options.
    void Search(bool subfolders, bool add) {
        onSearch = [=](TFormSearch &form) {
            form.CBIncludeSub()->setChecked(subfolders);
            form.CBAdd()->setChecked(add);
            return int(QDialog::Accepted);
        };
        page->BGetFilesClick();
    }
    // Answers the save dialog by typing name and choosing the entries.
    void SaveAs(const QString &name, QRadioButton *(TFormAskFName::*radio)() const) {
        onSave = [=](TFormAskFName &form) {
            (form.*radio)()->setChecked(true);
            form.EFname()->setText(name);
            form.BOK()->click();
            return form.result();
        };
    }
    FileListModel &Model() { return page->Report()->Model(); }
    QPushButton *Button(const QString &name) { return page->findChild<QPushButton *>(name); }
    void SelectRows(std::initializer_list<int> rows) {
        page->Report()->clearSelection();
        for (const int row : rows)
            page->Report()->selectionModel()->select(
                Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void SelectList(const QString &name) {
        page->LBListen()->clearSelection();
        for (QListWidgetItem *item : page->LBListen()->findItems(name, Qt::MatchExactly))
            item->setSelected(true);
    }
};

} // namespace

TEST_F(PageTest, StartsEmptyWithItsCaptionAndButtonsOff) {
    EXPECT_EQ(page->PanelTreeTop()->text(),
              u"Open a file list, or click 'Search' or 'Add' to create a list"_s);
    for (const char *name : {"BSelect", "BTakeOut", "BSaveList", "BOpenList", "BDeleteList"})
        EXPECT_FALSE(Button(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(Button(u"BGetFiles"_s)->isEnabled());
    EXPECT_TRUE(page->CurrentList().Saved);
}

TEST_F(PageTest, SearchWithoutAddingReportsItsCountsAndOffersTheSave) {
    MakePages({"a.htm", "b.htm", "c.html", "d.txt"});
    Search(false, false);
    ASSERT_EQ(saveMessages.size(), 1);
    EXPECT_TRUE(saveMessages[0].contains(u"Search finished."_s));
    EXPECT_TRUE(saveMessages[0].contains(u"3 unique entries in list."_s));
    EXPECT_TRUE(saveMessages[0].contains(u"3 new entries added."_s));
    EXPECT_TRUE(saveMessages[0].endsWith(u"Save results?"_s));
    EXPECT_EQ(Model().Count(), 3);
    EXPECT_EQ(page->PanelTreeTop()->text(), u" Files found in \""_s + site + u"\":"_s);
    EXPECT_FALSE(page->CurrentList().Saved);
    EXPECT_TRUE(page->CurrentList().Name.isEmpty());
    EXPECT_TRUE(Button(u"BSaveList"_s)->isEnabled());
    // The dialog proposed the first default name.
    EXPECT_EQ(page->AskForm()->EFname()->text(), u"(newlist1).lst"_s);
}

TEST_F(PageTest, SearchFindingNothingNewLeavesViewAndStateAlone) {
    MakePages({"a.htm", "b.htm"});
    Search(true, false);
    SelectRows({1});
    const QStringList before{Model().GetLVEntryLine(0), Model().GetLVEntryLine(1)};
    saveMessages.clear();
    Search(true, true);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"No new entries to add ...\n\n"_s + site});
    EXPECT_TRUE(saveMessages.isEmpty());
    EXPECT_EQ((QStringList{Model().GetLVEntryLine(0), Model().GetLVEntryLine(1)}), before);
    EXPECT_EQ(page->Report()->SelectedRows(), QList<int>{1});
    EXPECT_FALSE(page->CurrentList().Saved);

    prompts.Clear();
    QFile::remove(site + u"a.htm"_s);
    QFile::remove(site + u"b.htm"_s);
    Search(false, false);
    EXPECT_EQ(prompts.Texts(Kind::Info),
              QStringList{u"No matching files found in folder:\n\n"_s + site});
    EXPECT_EQ(Model().Count(), 2);
}

TEST_F(PageTest, CancelledSearchDialogChangesNothing) {
    MakePages({"a.htm"});
    page->BGetFilesClick(); // the default handler cancels
    EXPECT_EQ(Model().Count(), 0);
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_TRUE(page->SearchForm()->Label1()->text().contains(u"\""_s + site + u"\""_s));
}

TEST_F(PageTest, DeleteKeyTakesRowsOutAndDeletesNoFile) {
    MakePages({"a.htm", "b.htm", "c.htm"});
    Search(false, false);
    page->Report()->setFocus();
    SelectRows({0, 2});
    QTest::keyClick(page->Report(), Qt::Key_Delete);
    EXPECT_EQ(Model().Count(), 1);
    for (const char *name : {"a.htm", "b.htm", "c.htm"})
        EXPECT_TRUE(QFile::exists(site + QString::fromLatin1(name))) << name;
    EXPECT_TRUE(deleted.isEmpty());
}

TEST_F(PageTest, TakeOutOfNothingKeepsTheListSaved) {
    MakePages({"a.htm"});
    SaveAs(u"one"_s, &TFormAskFName::RBAll);
    Search(false, false);
    ASSERT_TRUE(page->CurrentList().Saved);
    page->BTakeOutClick();
    EXPECT_TRUE(page->CurrentList().Saved);
    EXPECT_FALSE(Button(u"BSaveList"_s)->isEnabled());
}

TEST_F(PageTest, SavesTheSelectedRowOnlyAndTheViewKeepsAll) {
    MakePages({"a.htm", "b.htm", "c.htm"});
    Search(false, false);
    SelectRows({1});
    SaveAs(u"my list"_s, &TFormAskFName::RBSel);
    page->BSaveListClick();
    const QByteArray bytes = ReadBytes(lists + u"my list.lst"_s);
    EXPECT_EQ(bytes, (Model().GetLVEntryLine(1) + u"\r\n"_s).toUtf8());
    EXPECT_EQ(Model().Count(), 3);
    EXPECT_TRUE(page->CurrentList().Saved);
    EXPECT_EQ(page->CurrentList().Name, lists + u"my list.lst"_s);
    EXPECT_FALSE(Button(u"BSaveList"_s)->isEnabled());
    EXPECT_EQ(page->PanelTreeTop()->text(), u" Files found in \"my list.lst\":"_s);
    ASSERT_EQ(page->LBListen()->count(), 1);
    EXPECT_EQ(page->LBListen()->item(0)->text(), u"my list.lst"_s);
    // The next save proposes the current list's name, with all entries again.
    SaveAs(u"my list"_s, &TFormAskFName::RBAll);
    page->BSaveListClick();
    EXPECT_EQ(page->AskForm()->EFname()->text(), u"my list"_s);
    EXPECT_EQ(ReadBytes(lists + u"my list.lst"_s).count("\r\n"), 3);
}

TEST_F(PageTest, NothingToSaveWhenTheChoiceHoldsNoEntry) {
    MakePages({"a.htm", "b.htm"});
    Search(false, false);
    page->BSelectClick();
    prompts.Clear();
    SaveAs(u"x"_s, &TFormAskFName::RBUnSel);
    page->BSaveListClick();
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"Nothing to save!"_s});
    EXPECT_FALSE(QFile::exists(lists + u"x.lst"_s));
    EXPECT_FALSE(page->CurrentList().Saved);
}

TEST_F(PageTest, RefusedNamesKeepTheDialogOpen) {
    MakePages({"a.htm"});
    QStringList results;
    onSave = [&](TFormAskFName &form) {
        for (const QString &name : {u"..\\x"_s, u"a:b"_s, u"  .name.  "_s}) {
            form.setResult(0);
            form.EFname()->setText(name);
            form.BOK()->click();
            results << QString::number(form.result());
        }
        return form.result();
    };
    Search(false, false);
    EXPECT_EQ(results, (QStringList{u"0"_s, u"0"_s, u"1"_s}));
    EXPECT_EQ(prompts.Texts(Kind::Error),
              (QStringList{u"Invalid Filename: \\x.lst"_s, u"Invalid Filename: a:b.lst"_s}));
    EXPECT_TRUE(QFile::exists(lists + u"name.lst"_s));
}

TEST_F(PageTest, AFailedWriteKeepsTheOldListAndTheState) {
    MakePages({"a.htm"});
    WriteBytes(lists + u"keep.lst"_s, "old\r\n");
    QDir().mkpath(lists + u"busy.lst"_s); // a folder cannot be replaced by a list
    SaveAs(u"busy"_s, &TFormAskFName::RBAll);
    Search(false, false);
    EXPECT_EQ(prompts.Texts(Kind::Error),
              QStringList{u"Invalid Filename: "_s + lists + u"busy.lst"_s});
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
    EXPECT_FALSE(page->CurrentList().Saved);
    EXPECT_TRUE(page->CurrentList().Name.isEmpty());
    EXPECT_EQ(ReadBytes(lists + u"keep.lst"_s), QByteArray("old\r\n"));
}

TEST_F(PageTest, LoadingVerifiesAndTheReportListsEveryChange) {
    MakePages({"a.htm", "b.htm"});
    const QString a = site + u"a.htm"_s;
    const QString line = [&] {
        QStringList lines;
        Search(false, false);
        return Model().GetLVEntryLine(0);
    }();
    // A list of a's entry, an empty line and a vanished file.
    WriteBytes(lists + u"l.lst"_s,
               (line + u"\r\n\r\n"_s + site + u"*gone*.htm*1*2000-01-01  10:00\n"_s).toUtf8());
    page->ReadSavedLists();
    SelectList(u"l.lst"_s);
    QStringList reportLines;
    bool showVisible = false;
    onSave = [&](TFormAskFName &form) {
        showVisible = form.BShow()->isVisibleTo(&form);
        form.BShow()->click();
        return 0;
    };
    onReport = [&](TFormReport &report) {
        reportLines = report.Memo1()->toPlainText().split(u'\n');
        return 0;
    };
    saveMessages.clear();
    Button(u"BOpenList"_s)->click();
    ASSERT_EQ(saveMessages.size(), 1);
    EXPECT_EQ(saveMessages[0],
              u"Loaded list contains 3 entries.\n\n2 orphaned file entries removed from list\n"
              "0 file entries updated\n\nSave updated list before continue?"_s);
    EXPECT_TRUE(showVisible);
    EXPECT_FALSE(page->AskForm()->BShow()->isVisibleTo(page->AskForm()));
    EXPECT_EQ(reportLines,
              (QStringList{u"Not Found:  "_s, u"Not Found:  "_s + site + u"gone.htm"_s}));
    EXPECT_EQ(Model().Count(), 1);
    EXPECT_EQ(Model().GetLVEntryPath(0), a);
    EXPECT_EQ(page->CurrentList().Name, lists + u"l.lst"_s);
    EXPECT_FALSE(page->CurrentList().Saved); // cancelled: the corrected list is unsaved
    EXPECT_EQ(page->PanelTreeTop()->text(), u" Files found in \"l.lst\":"_s);
}

TEST_F(PageTest, LoadingAListOfVanishedFilesSaysSoAndOffersNoSave) {
    WriteBytes(lists + u"old.lst"_s, (site + u"*gone*.htm*1*x\r\n"_s).toUtf8());
    page->ReadSavedLists();
    SelectList(u"old.lst"_s);
    page->BOpenListClick();
    EXPECT_EQ(prompts.Texts(Kind::Info),
              QStringList{u"No more valid entries left in this list!"_s});
    EXPECT_TRUE(saveMessages.isEmpty());
    EXPECT_EQ(Model().Count(), 0);
    EXPECT_TRUE(page->CurrentList().Saved);
    EXPECT_FALSE(Button(u"BSaveList"_s)->isEnabled());
    EXPECT_EQ(ReadBytes(lists + u"old.lst"_s), (site + u"*gone*.htm*1*x\r\n"_s).toUtf8());
}

TEST_F(PageTest, DeletingTheLoadedListEmptiesTheView) {
    MakePages({"a.htm"});
    SaveAs(u"cur"_s, &TFormAskFName::RBAll);
    Search(false, false);
    SaveAs(u"other"_s, &TFormAskFName::RBAll);
    page->BSaveListClick(); // now "other" is current... the state says so
    ASSERT_EQ(page->CurrentList().Name, lists + u"other.lst"_s);
    prompts.yesNoCancelAnswers = {Answer::Yes, Answer::Yes};

    SelectList(u"cur.lst"_s);
    page->BDeleteListClick();
    EXPECT_EQ(Model().Count(), 1); // another list's file: the view stays
    SelectList(u"other.lst"_s);
    page->BDeleteListClick();
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel).last(),
              u"Delete List File \""_s + lists + u"other.lst\" from disk?"_s);
    EXPECT_EQ(Model().Count(), 0);
    EXPECT_TRUE(page->CurrentList().Name.isEmpty());
    EXPECT_TRUE(page->CurrentList().Saved);
    EXPECT_EQ(page->PanelTreeTop()->text(), u"Open a file list, or click \"Search Files\" ..."_s);
    EXPECT_EQ(deleted, (QStringList{lists + u"cur.lst"_s, lists + u"other.lst"_s}));
    EXPECT_EQ(page->LBListen()->count(), 0);
}

TEST_F(PageTest, DeleteKeyWithTwoListsSelectedOnlyBeeps) {
    WriteBytes(lists + u"a.lst"_s, "x\r\n");
    WriteBytes(lists + u"b.lst"_s, "y\r\n");
    page->ReadSavedLists();
    page->LBListen()->selectAll();
    EXPECT_TRUE(Button(u"BMergeList"_s)->isEnabled());
    EXPECT_FALSE(Button(u"BDeleteList"_s)->isEnabled());
    page->LBListen()->setFocus();
    QTest::keyClick(page->LBListen(), Qt::Key_Delete);
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 0);
    EXPECT_TRUE(QFile::exists(lists + u"a.lst"_s));
}

TEST_F(PageTest, MergingDropsRepeatedPathsAndOffersANewName) {
    const QString one = u"/w/*x*.htm*1*2000-01-01  10:00"_s;
    const QString two = u"/w/*y*.htm*1*2000-01-01  10:00"_s;
    WriteBytes(lists + u"a.lst"_s, (one + u"\r\n\r\n"_s + two + u"\r\n"_s).toUtf8());
    WriteBytes(lists + u"b.lst"_s, (two + u"\r\n"_s).toUtf8());
    page->ReadSavedLists();
    page->LBListen()->selectAll();
    prompts.yesNoAnswers = {true};
    Button(u"BMergeList"_s)->click();
    EXPECT_EQ(prompts.Texts(Kind::YesNo),
              QStringList{u"Merge following list files?:\n  a.lst\n  b.lst\n\n"
                          "(Note: Duplicates will be detected)"_s});
    EXPECT_EQ(Model().Count(), 2);
    EXPECT_EQ(page->PanelTreeTop()->text(), u" Files found in \" a.lst + b.lst \":"_s);
    EXPECT_EQ(saveMessages, QStringList{u"\nFilelists merged ..."_s});
    EXPECT_EQ(page->AskForm()->EFname()->text(), u"(newlist1).lst"_s);
    EXPECT_FALSE(page->CurrentList().Saved);
    EXPECT_TRUE(page->CurrentList().Name.isEmpty());
}

TEST_F(PageTest, MergeOfAVanishedListLeavesTheViewAlone) {
    WriteBytes(lists + u"a.lst"_s, "/w/*x*.htm*1*d\r\n");
    WriteBytes(lists + u"b.lst"_s, "/w/*y*.htm*1*d\r\n");
    page->ReadSavedLists();
    page->LBListen()->selectAll();
    QFile::remove(lists + u"b.lst"_s);
    prompts.yesNoAnswers = {true};
    page->BMergeListClick();
    EXPECT_EQ(prompts.Count(Kind::Error), 1);
    EXPECT_EQ(Model().Count(), 0);
    EXPECT_TRUE(page->CurrentList().Saved);
    EXPECT_EQ(page->PanelTreeTop()->text(),
              u"Open a file list, or click 'Search' or 'Add' to create a list"_s);
}

TEST_F(PageTest, AddTakesPickedFilesOnceAndSkipsHiddenOnes) {
    MakePages({"a.htm", "b.txt", ".hid.htm"});
    prompts.filesAnswers = {{site + u"a.htm"_s, site + u"b.txt"_s, site + u".hid.htm"_s},
                            {site + u"a.htm"_s}};
    page->BAddClick();
    EXPECT_EQ(Model().Count(), 2);
    EXPECT_EQ(saveMessages, QStringList{u"\n2 new entries added.\nSave results?"_s});
    page->BAddClick();
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"No new entries to add ...\n\n"_s + site});
    EXPECT_EQ(Model().Count(), 2);
}

// The message box runs across the dialog also when the verification's wider
// button row makes the dialog wider.
TEST(SaveListDialog, TheMessageSpansTheDialogWithTheReportButtonShown) {
    ScriptedPrompts prompts;
    TFormAskFName form(prompts, u"/tmp/"_s);
    form.SetShowButtonVisible(true);
    form.Prepare(u"Loaded list contains 2 entries."_s, u"one.lst"_s);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QWidget *memo = form.findChild<QTextEdit *>(u"Memo1"_s);
    const QWidget *name = form.findChild<QLineEdit *>(u"EFname"_s);
    ASSERT_TRUE(memo && name);
    EXPECT_EQ(memo->geometry().right(), name->geometry().right());
}

// What the page tells the window: a search announces itself before it walks
// the disk, the page's own changes of rows and selection ask for a recount,
// a click reports the row now current for the thumbnail corner, and a double
// click asks to open it.
TEST_F(PageTest, ReportsItsChangesAndRequestsThroughSignals) {
    MakePages({"a.htm", "b.htm"});
    QSignalSpy starting(page.get(), &FileListsPage::searchStarting);
    QSignalSpy status(page.get(), &FileListsPage::statusChanged);
    QSignalSpy thumb(page.get(), &FileListsPage::thumbnailWanted);
    QSignalSpy open(page.get(), &FileListsPage::openRequested);
    int rowsWhenStarting = -1;
    QObject::connect(page.get(), &FileListsPage::searchStarting,
                     [&] { rowsWhenStarting = Model().Count(); });
    Search(false, false);
    EXPECT_EQ(starting.size(), 1);
    EXPECT_EQ(rowsWhenStarting, 0); // before the view was filled
    EXPECT_GE(status.size(), 1);

    status.clear();
    Button(u"BSelect"_s)->click();
    EXPECT_EQ(status.size(), 1);
    status.clear();
    SelectRows({0});
    page->BTakeOutClick();
    EXPECT_EQ(status.size(), 1);
    ASSERT_EQ(Model().Count(), 1);

    const QRect row = page->Report()->visualRect(Model().index(0, 0));
    QTest::mouseClick(page->Report()->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_FALSE(thumb.isEmpty());
    EXPECT_EQ(thumb.last().at(0).toString(), site + u"b.htm"_s);
    QTest::mouseDClick(page->Report()->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(open.size(), 1);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// Search and Add start from the folder and mask the context holds when they
// run, not from those of the page's creation.
TEST_F(PageTest, SearchesTheContextsFolderOfTheMoment) {
    const QString other = dir.path() + u"/other/"_s;
    QDir().mkpath(other);
    WriteBytes(other + u"x.htm"_s, "x");
    WriteBytes(other + u"y.txt"_s, "y");
    MakePages({"a.htm"});
    folder.SetFolder(other);
    folder.SetMask(u"*.txt"_s);
    Search(false, false);
    ASSERT_EQ(Model().Count(), 1);
    EXPECT_EQ(Model().GetLVEntryPath(0), other + u"y.txt"_s);
    EXPECT_EQ(page->PanelTreeTop()->text(), u" Files found in \""_s + other + u"\":"_s);
}
