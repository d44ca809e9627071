#include "filelists/file_list_model.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QPersistentModelIndex>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

QString Line(const QString &name, const QString &ext, const QString &size,
             const QString &folder = u"/w/"_s) {
    return folder + u'*' + name + u'*' + ext + u'*' + size + u"*2000-01-01  10:00"_s;
}

QStringList Column(const FileListModel &model, int column) {
    QStringList cells;
    for (int row = 0; row < model.Count(); ++row)
        cells.append(model.Field(row, column));
    return cells;
}

class FileListModelTest : public ::testing::Test {
protected:
    FileListModel model{QLocale(QLocale::English, QLocale::UnitedStates)};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(FileListModelTest, ShowsTheFiveFieldsOfEveryLine) {
    model.sort(-1);
    model.FillLVFromList({u"/w/*index*.htm*2048*1999-08-15  09:05*ignored"_s, u"/a/*x"_s});
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), u"Size"_s);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), u"index"_s);
    EXPECT_EQ(model.GetLVEntryLine(0), u"/w/*index*.htm*2048*1999-08-15  09:05"_s);
    EXPECT_EQ(model.GetLVEntryPath(0), u"/w/index.htm"_s);
    // A short line reads with empty fields and gives back five fields.
    EXPECT_EQ(model.GetLVEntryLine(1), u"/a/*x***"_s);
    EXPECT_EQ(model.GetLVEntryPath(1), u"/a/x"_s);
}

TEST_F(FileListModelTest, MarksDefaultPageNamesRed) {
    model.FillLVFromList(
        {Line(u"Index"_s, u".HTM"_s, u"1"_s), Line(u"index2"_s, u".htm"_s, u"1"_s)});
    model.sort(1);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(model.data(model.index(1, 1), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::ForegroundRole).isValid());
}

TEST_F(FileListModelTest, SortsSizesByValueOnlyInTheSmartStyle) {
    model.FillLVFromList({Line(u"a"_s, u".h"_s, u"100"_s), Line(u"b"_s, u".h"_s, u"9"_s),
                          Line(u"c"_s, u".h"_s, u"10"_s)});
    model.sort(3);
    EXPECT_EQ(Column(model, 3), (QStringList{u"10"_s, u"100"_s, u"9"_s}));
    model.SetSortStyle(FileListModel::SortStyleForColumn(3));
    model.sort(3);
    EXPECT_EQ(Column(model, 3), (QStringList{u"9"_s, u"10"_s, u"100"_s}));
    model.sort(3, Qt::DescendingOrder);
    EXPECT_EQ(Column(model, 3), (QStringList{u"100"_s, u"10"_s, u"9"_s}));
}

TEST_F(FileListModelTest, SortsTextByTheLocaleWithCaseSignificant) {
    model.FillLVFromList({Line(u"Zeta"_s, u".h"_s, u"1"_s), Line(u"alpha"_s, u".h"_s, u"1"_s),
                          Line(u"Alpha"_s, u".h"_s, u"1"_s)});
    model.sort(1);
    const QStringList names = Column(model, 1);
    EXPECT_EQ(names.last(), u"Zeta"_s);
    EXPECT_NE(names.indexOf(u"alpha"_s), -1);
    EXPECT_NE(names.indexOf(u"Alpha"_s), -1);
    model.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(Column(model, 1).first(), u"Zeta"_s);
}

TEST_F(FileListModelTest, SmartStyleOrdersMixedCellsConsistently) {
    QStringList lines;
    const QString sizes[] = {u"12"_s,
                             u""_s,
                             u"abc"_s,
                             u"-3"_s,
                             u"2000-01-01  10:00"_s,
                             u"7"_s,
                             u"99999999999999999999"_s,
                             u"Abc"_s,
                             u"007"_s};
    for (int i = 0; i < 60; ++i)
        lines.append(Line(u"n"_s + QString::number(i), u".h"_s, sizes[i % 9]));
    model.SetSortStyle(SortStyle::Smart);
    model.FillLVFromList(lines);
    model.sort(3);
    const QStringList sorted = Column(model, 3);
    // Numbers in value order, with no other kind between them.
    const qsizetype firstNumber = sorted.indexOf(u"-3"_s);
    const qsizetype lastNumber = sorted.lastIndexOf(u"12"_s);
    ASSERT_GE(firstNumber, 0);
    for (qsizetype i = firstNumber; i < lastNumber; ++i)
        EXPECT_LE(sorted[i].toLongLong(), sorted[i + 1].toLongLong());
    EXPECT_EQ(sorted.first(), QString());
}

TEST_F(FileListModelTest, StaysSortedAfterFillsAndChanges) {
    model.sort(1);
    model.FillLVFromList({Line(u"c"_s, u".h"_s, u"1"_s), Line(u"a"_s, u".h"_s, u"1"_s)});
    EXPECT_EQ(Column(model, 1), (QStringList{u"a"_s, u"c"_s}));
    model.AddLVEntry(Line(u"b"_s, u".h"_s, u"1"_s));
    EXPECT_EQ(Column(model, 1), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    model.SetLVEntry(0, Line(u"d"_s, u".h"_s, u"1"_s));
    EXPECT_EQ(Column(model, 1), (QStringList{u"b"_s, u"c"_s, u"d"_s}));
    {
        FileListModel::UpdateSuspender suspended(model);
        model.AddLVEntry(Line(u"a"_s, u".h"_s, u"1"_s));
        EXPECT_EQ(Column(model, 1).last(), u"a"_s); // not re-sorted while suspended
    }
    EXPECT_EQ(Column(model, 1).first(), u"a"_s);
}

TEST_F(FileListModelTest, PersistentIndexesFollowTheirRowsThroughASort) {
    model.sort(-1);
    model.FillLVFromList({Line(u"c"_s, u".h"_s, u"1"_s), Line(u"a"_s, u".h"_s, u"1"_s),
                          Line(u"b"_s, u".h"_s, u"1"_s)});
    const QPersistentModelIndex c(model.index(0, 2));
    model.sort(1);
    EXPECT_EQ(c.row(), 2);
    EXPECT_EQ(c.column(), 2);
    EXPECT_EQ(model.Field(c.row(), 1), u"c"_s);
}

TEST_F(FileListModelTest, CopiesAndTakesOutBySelection) {
    model.sort(1);
    model.FillLVFromList({Line(u"a"_s, u".h"_s, u"1"_s), Line(u"b"_s, u".h"_s, u"1"_s),
                          Line(u"c"_s, u".h"_s, u"1"_s), Line(u"d"_s, u".h"_s, u"1"_s)});
    QStringList all, selected, unselected{u"kept"_s};
    model.CopyLVToList(all, CopyMode::All);
    model.CopyLVToList(selected, CopyMode::Selected, {3, 1, 1, 99, -1});
    model.CopyLVToList(unselected, CopyMode::Unselected, {3, 1});
    EXPECT_EQ(all.size(), 4);
    EXPECT_EQ(selected,
              (QStringList{Line(u"b"_s, u".h"_s, u"1"_s), Line(u"d"_s, u".h"_s, u"1"_s)}));
    EXPECT_EQ(unselected, (QStringList{u"kept"_s, Line(u"a"_s, u".h"_s, u"1"_s),
                                       Line(u"c"_s, u".h"_s, u"1"_s)}));

    EXPECT_EQ(model.TakeOutSelectedEntries({}), 0);
    EXPECT_EQ(model.TakeOutSelectedEntries({0, 1, 3}), 3);
    EXPECT_EQ(Column(model, 1), QStringList{u"c"_s});
}

TEST_F(FileListModelTest, TakesOutManyScatteredRowsInOneStep) {
    QStringList lines;
    QList<int> odd;
    for (int i = 0; i < 1000; ++i) {
        lines.append(Line(u"f"_s + QString::number(i).rightJustified(4, u'0'), u".h"_s, u"1"_s));
        if (i % 2)
            odd.append(i);
    }
    model.sort(1);
    model.FillLVFromList(lines);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    EXPECT_EQ(model.TakeOutSelectedEntries(odd), 500);
    EXPECT_EQ(reset.count(), 1);
    ASSERT_EQ(model.Count(), 500);
    for (int row = 0; row < 500; ++row)
        EXPECT_EQ(model.Field(row, 1), u"f"_s + QString::number(2 * row).rightJustified(4, u'0'));
}
