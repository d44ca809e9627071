#include "filelists/list_file.h"
#include "filelists/list_status.h"
#include "filelists/list_verification.h"
#include "sitewalk/file_search.h"
#include "temp_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::testing::WriteBytes;

namespace {

class VerifyTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root = dir.path() + u'/';
    FileListModel model{QLocale(QLocale::English, QLocale::UnitedStates)};
    QStringList work;

    void LoadFolder() {
        QStringList lines;
        SearchFilesInFolder(lines, root, u"*.htm"_s);
        model.sort(1); // by file name, so rows have a known order
        model.FillLVFromList(lines);
    }
};

} // namespace

TEST_F(VerifyTest, TakesOutMissingFilesAndRefreshesChangedOnes) {
    for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"})
        WriteBytes(root + QString::fromLatin1(name), "same");
    LoadFolder();
    ASSERT_EQ(model.Count(), 5);
    QFile::remove(root + u"b.htm"_s);
    WriteBytes(root + u"d.htm"_s, "grown larger");

    const VerifyResult result = VerifyLoadedList(model, work);
    EXPECT_EQ(result.total, 5);
    EXPECT_EQ(result.removed, 1);
    EXPECT_EQ(result.updated, 1);
    EXPECT_EQ(work, (QStringList{u"Not Found:  "_s + root + u"b.htm"_s,
                                 u"Updated:  "_s + root + u"d.htm"_s}));
    ASSERT_EQ(model.Count(), 4);
    EXPECT_EQ(model.Field(2, 1), u"d"_s);
    EXPECT_EQ(model.Field(2, 3), u"12"_s);
    EXPECT_TRUE(result.OffersSave());
    EXPECT_EQ(VerifySaveQuestion(result),
              u"Loaded list contains 5 entries.\n\n1 orphaned file entries removed from list\n"
              "1 file entries updated\n\nSave updated list before continue?"_s);
    TListFileStatus status{u"x.lst"_s, true};
    ApplyVerifyResult(result, status);
    EXPECT_FALSE(status.Saved);

    // A second pass finds nothing more to do.
    const VerifyResult again = VerifyLoadedList(model, work);
    EXPECT_FALSE(again.OffersSave());
    EXPECT_TRUE(work.isEmpty());
}

TEST_F(VerifyTest, CountsARenameToAnotherLetterCaseAsUpdated) {
    WriteBytes(root + u"Index.htm"_s, "x");
    WriteBytes(root + u"other.htm"_s, "x");
    LoadFolder();
    ASSERT_TRUE(QFile::rename(root + u"Index.htm"_s, root + u"index.htm"_s));
    const VerifyResult result = VerifyLoadedList(model, work);
    EXPECT_EQ(result.removed, 0);
    EXPECT_EQ(result.updated, 1);
    EXPECT_EQ(work, QStringList{u"Updated:  "_s + root + u"Index.htm"_s});
    EXPECT_EQ(model.Field(0, 1), u"index"_s);
}

TEST_F(VerifyTest, ReportsEmptyLinesAndStaleFieldsButKeepsHiddenFiles) {
    WriteBytes(root + u".hidden.htm"_s, "x");
    const QString fresh = MakeEntryLine(root, *LookUpFileAnyCase(root + u".hidden.htm"_s));
    QString doubled = fresh;
    doubled.replace(root, root + u'/');
    model.FillLVFromList({QString(), fresh, root + u"*.hidden*.htm*999*someday"_s, doubled});
    const VerifyResult result = VerifyLoadedList(model, work);
    EXPECT_EQ(result.removed, 1);
    EXPECT_EQ(work.first(), u"Not Found:  "_s);
    // The hidden file was found three times; the entries with stale fields or
    // a doubled separator were refreshed.
    EXPECT_EQ(result.updated, 2);
    EXPECT_EQ(model.Count(), 3);
    for (int row = 0; row < model.Count(); ++row)
        EXPECT_EQ(model.GetLVEntryLine(row), fresh);
}

TEST_F(VerifyTest, AllGoneLeavesNothingToSave) {
    WriteBytes(root + u"a.htm"_s, "x");
    LoadFolder();
    QFile::remove(root + u"a.htm"_s);
    const VerifyResult result = VerifyLoadedList(model, work);
    EXPECT_TRUE(result.AllRemoved());
    EXPECT_FALSE(result.OffersSave());
    EXPECT_EQ(model.Count(), 0);
    TListFileStatus status{u"x.lst"_s, true};
    ApplyVerifyResult(result, status);
    EXPECT_TRUE(status.Saved);
}

TEST_F(VerifyTest, MergingDropsRepeatedPathsAndEmptyLines) {
    ASSERT_TRUE(
        WriteListFile(root + u"a.lst"_s, {u"/w/*x*.htm*1*d"_s, QString(), u"/w/*y*.htm*1*d"_s}));
    ASSERT_TRUE(WriteListFile(root + u"b.lst"_s, {u"/w/*y*.htm*2*d"_s, u"/w/*z*.htm*1*d"_s}));
    TListFileStatus status{u"old.lst"_s, true};
    EXPECT_EQ(
        MergeQuestion({u"a.lst"_s, u"b.lst"_s}),
        u"Merge following list files?:\n  a.lst\n  b.lst\n\n(Note: Duplicates will be detected)"_s);
    const MergeResult merged = MergeListFiles(root, {u"a.lst"_s, u"b.lst"_s}, model, work, status,
                                              QLocale(QLocale::English));
    ASSERT_TRUE(merged.ok);
    EXPECT_EQ(merged.caption, u" a.lst + b.lst "_s);
    EXPECT_EQ(work, (QStringList{u"/w/*x*.htm*1*d"_s, u"/w/*y*.htm*1*d"_s, u"/w/*z*.htm*1*d"_s}));
    EXPECT_EQ(model.Count(), 3);
    EXPECT_TRUE(status.Name.isEmpty());
    EXPECT_FALSE(status.Saved);

    // Identical lists give their content once.
    MergeListFiles(root, {u"b.lst"_s, u"b.lst"_s}, model, work, status);
    EXPECT_EQ(model.Count(), 2);
}

TEST_F(VerifyTest, AFailedMergeTouchesNeitherTheViewNorTheState) {
    ASSERT_TRUE(WriteListFile(root + u"a.lst"_s, {u"/w/*x*.htm*1*d"_s}));
    model.FillLVFromList({u"/keep/*me*.htm*1*d"_s});
    TListFileStatus status{u"current.lst"_s, true};
    const MergeResult merged =
        MergeListFiles(root, {u"a.lst"_s, u"gone.lst"_s}, model, work, status);
    EXPECT_FALSE(merged.ok);
    EXPECT_EQ(merged.failedPath, root + u"gone.lst"_s);
    EXPECT_EQ(model.Count(), 1);
    EXPECT_EQ(model.GetLVEntryPath(0), u"/keep/me.htm"_s);
    EXPECT_EQ(status.Name, u"current.lst"_s);
    EXPECT_TRUE(status.Saved);
}
