#include "filelists/window/elv_report.h"

#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

QString Line(const QString &name, const QString &ext, const QString &size) {
    return u"/w/*"_s + name + u'*' + ext + u'*' + size + u"*2000-01-01  10:00"_s;
}

QStringList Column(const ELVReport &view, int column) {
    QStringList cells;
    for (int row = 0; row < view.Model().Count(); ++row)
        cells << view.Model().Field(row, column);
    return cells;
}

void ClickHeader(ELVReport &view, int column) {
    QHeaderView *header = view.header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// How many clearly red pixels the cell of row and column shows.
int RedPixels(ELVReport &view, int row, int column) {
    const QRect cell = view.visualRect(view.Model().index(row, column));
    const QImage image = view.viewport()->grab(cell).toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
        }
    return red;
}

class ReportTest : public ::testing::Test {
protected:
    ELVReport view;
    void SetUp() override {
        view.resize(700, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
};

} // namespace

TEST_F(ReportTest, SizeHeaderSortsByValueAndASecondClickReverses) {
    view.Model().FillLVFromList({Line(u"a"_s, u".h"_s, u"100"_s), Line(u"b"_s, u".h"_s, u"9"_s),
                                 Line(u"c"_s, u".h"_s, u"10"_s)});
    ClickHeader(view, FieldSize);
    EXPECT_EQ(Column(view, FieldSize), (QStringList{u"9"_s, u"10"_s, u"100"_s}));
    EXPECT_EQ(view.header()->sortIndicatorSection(), FieldSize);
    EXPECT_EQ(view.header()->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(view, FieldSize);
    EXPECT_EQ(Column(view, FieldSize), (QStringList{u"100"_s, u"10"_s, u"9"_s}));
    EXPECT_EQ(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
    // Another column starts ascending, and compares as text.
    ClickHeader(view, FieldFilename);
    EXPECT_EQ(Column(view, FieldFilename), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
}

TEST_F(ReportTest, RestoredSortComparesSizesAsTextUntilAHeaderClick) {
    view.RestoreSort(FieldSize, true);
    view.Model().FillLVFromList({Line(u"a"_s, u".h"_s, u"100"_s), Line(u"b"_s, u".h"_s, u"9"_s),
                                 Line(u"c"_s, u".h"_s, u"10"_s)});
    EXPECT_EQ(Column(view, FieldSize), (QStringList{u"10"_s, u"100"_s, u"9"_s}));
    view.RestoreSort(99, false); // out of range: the first column
    EXPECT_EQ(view.Model().SortColumn(), 0);
}

TEST_F(ReportTest, DefaultPageNamesAreRedUntilSelected) {
    view.Model().FillLVFromList(
        {Line(u"Index"_s, u".HTM"_s, u"1"_s), Line(u"index2"_s, u".htm"_s, u"1"_s)});
    ClickHeader(view, FieldFilename);
    ASSERT_EQ(view.Model().Field(0, FieldFilename), u"Index"_s);
    EXPECT_GT(RedPixels(view, 0, FieldFilename), 5);
    EXPECT_EQ(RedPixels(view, 1, FieldFilename), 0);
    EXPECT_EQ(RedPixels(view, 0, FieldFolder), 0);
    view.selectionModel()->select(view.Model().index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(RedPixels(view, 0, FieldFilename), 0);
}

TEST_F(ReportTest, CtrlAOnReleaseSelectsAllButCtrlShiftADoesNot) {
    view.Model().FillLVFromList({Line(u"a"_s, u".h"_s, u"1"_s), Line(u"b"_s, u".h"_s, u"2"_s)});
    QSignalSpy selectAll(&view, &ELVReport::SelectAllRequested);
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selectAll.count(), 0);
    EXPECT_EQ(view.SelectedCount(), 0);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selectAll.count(), 1);
    // The click leaves the application believing Ctrl is still held, which
    // would turn a later setCurrentIndex in this process into a Ctrl+click.
    QTest::keyRelease(&view, Qt::Key_Control);
}

TEST_F(ReportTest, SelectionCountsAndTakeOut) {
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines << Line(u"f%1"_s.arg(i), u".htm"_s, QString::number(i));
    view.Model().FillLVFromList(lines);
    view.SelectAllRows();
    EXPECT_EQ(view.SelectedCount(), 10);
    view.clearSelection();
    for (const int row : {7, 2, 3})
        view.selectionModel()->select(view.Model().index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(view.SelectedRows(), (QList<int>{2, 3, 7}));
    view.setCurrentIndex(view.Model().index(2, 0));
    EXPECT_EQ(view.CurrentSingleRow(), 2); // setCurrentIndex selected row 2 alone
    view.selectionModel()->select(view.Model().index(5, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(view.CurrentSingleRow(), -1);
    EXPECT_EQ(view.TakeOutSelectedEntries(), 2);
    EXPECT_EQ(view.Model().Count(), 8);
    EXPECT_EQ(view.TakeOutSelectedEntries(), 0);
}

TEST_F(ReportTest, ColumnWidthsRoundTripAndBadTextKeepsThem) {
    view.RestoreColumnSizes(u"300,80,40,60,120"_s);
    EXPECT_EQ(view.ColumnSizesText(), u"300,80,40,60,120"_s);
    for (const QString &bad : {u""_s, u"1,2,3"_s, u"300,x,40,60,120"_s, u"1,2,3,4,-5"_s}) {
        view.RestoreColumnSizes(bad);
        EXPECT_EQ(view.ColumnSizesText(), u"300,80,40,60,120"_s) << bad.toStdString();
    }
}
