#include "sitecheck/window/check_links_window.h"

#include "scripted_prompts.h"
#include "temp_files.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;

namespace velmora {
namespace {

class CheckLinksWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        WriteBytes(dir_.filePath(u"index.htm"_s), "<a href=a.htm>\n<a href=gone.htm>\n"
                                                  "<img src=\"Pic.gif\">\n");
        WriteBytes(dir_.filePath(u"a.htm"_s), "\n\n\n\n<a href=\"index.htm#nowhere\">");
        WriteBytes(dir_.filePath(u"pic.gif"_s), "GIF89a");
        window_.SetFolder(dir_.path());
    }

    QPushButton *Button(const QString &name) const {
        for (QPushButton *button : window_.findChildren<QPushButton *>()) {
            if (button->accessibleName() == name)
                return button;
        }
        return nullptr;
    }

    void RunCheck() {
        QSignalSpy finished(&window_, &CheckLinksWindow::CheckFinished);
        Button(u"Check"_s)->click();
        ASSERT_TRUE(finished.wait(20000));
    }

    QStringList Column(int column) const {
        QStringList texts;
        const QAbstractItemModel *model = window_.Report()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, column).data().toString());
        return texts;
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    CheckLinksWindow window_{CheckLinksServices{prompts_, prompts_, QString(), QString()}};
};

TEST_F(CheckLinksWindowTest, EveryControlHasAnAccessibleName) {
    for (QWidget *widget : window_.findChildren<QWidget *>()) {
        if (widget->focusPolicy() != Qt::NoFocus && widget->parentWidget() == &window_) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        }
    }
    EXPECT_EQ(window_.windowTitle(), u"Check Links"_s);
    EXPECT_EQ(window_.Report()->accessibleName(), u"Check Links results"_s);
    for (const QString &name : {u"Check"_s, u"Stop"_s, u"Save Report..."_s, u"Close"_s})
        EXPECT_NE(Button(name), nullptr) << name.toStdString();
}

TEST_F(CheckLinksWindowTest, RowsStatusAndSorting) {
    RunCheck();
    EXPECT_EQ(window_.Results().rowCount(), 3);
    EXPECT_EQ(window_.StatusText().left(26), u"3 problems in 2 pages (4 l"_s)
        << window_.StatusText().toStdString();
    // Sorted by line, numerically: 2, 3, 5.
    window_.Report()->sortByColumn(CheckResultsModel::LineColumn, Qt::AscendingOrder);
    EXPECT_EQ(Column(CheckResultsModel::LineColumn), (QStringList{u"2"_s, u"3"_s, u"5"_s}));
    EXPECT_EQ(Column(CheckResultsModel::ProblemColumn),
              (QStringList{u"Missing file"_s, u"Wrong letter case (on disk: pic.gif)"_s,
                           u"Missing anchor"_s}));
    window_.Report()->sortByColumn(CheckResultsModel::PageColumn, Qt::DescendingOrder);
    EXPECT_EQ(Column(CheckResultsModel::PageColumn).first(), u"index.htm"_s);

    // Without anchors the anchor row goes.
    for (QCheckBox *box : window_.findChildren<QCheckBox *>()) {
        if (box->accessibleName() == u"Check anchors")
            box->setChecked(false);
    }
    RunCheck();
    EXPECT_EQ(window_.Results().rowCount(), 2);
}

TEST_F(CheckLinksWindowTest, DoubleClickAsksForThePageAtItsLine) {
    RunCheck();
    window_.Report()->sortByColumn(CheckResultsModel::LineColumn, Qt::DescendingOrder);
    QSignalSpy open(&window_, &CheckLinksWindow::OpenPageRequested);
    window_.show();
    QTreeView *report = window_.Report();
    const QRect rect = report->visualRect(report->model()->index(0, 0));
    // A view takes a double click only on the row the press was on.
    QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(report->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0][0].toString(), dir_.filePath(u"a.htm"_s));
    EXPECT_EQ(open[0][1].toInt(), 5);
    // Enter on the current row does the same.
    report->setCurrentIndex(report->model()->index(1, 0));
    QTest::keyClick(report, Qt::Key_Return);
    ASSERT_EQ(open.size(), 2);
    EXPECT_EQ(open[1][0].toString(), dir_.filePath(u"index.htm"_s));
    EXPECT_EQ(open[1][1].toInt(), 3);
}

TEST_F(CheckLinksWindowTest, SaveReportWritesCsvOfTheRowsAsShown) {
    RunCheck();
    window_.Report()->sortByColumn(CheckResultsModel::LineColumn, Qt::AscendingOrder);
    const QString target = dir_.filePath(u"report.csv"_s);
    prompts_.fileAnswers.append(target);
    Button(u"Save Report..."_s)->click();
    EXPECT_EQ(ReadBytes(target), QByteArray("Page,Line,Link,Problem\r\n"
                                            "index.htm,2,gone.htm,Missing file\r\n"
                                            "index.htm,3,Pic.gif,Wrong letter case (on disk: "
                                            "pic.gif)\r\n"
                                            "a.htm,5,index.htm#nowhere,Missing anchor\r\n"));
    // A cancelled dialog writes nothing and says nothing.
    Button(u"Save Report..."_s)->click();
    EXPECT_EQ(prompts_.Count(ScriptedPrompts::Kind::Error), 0);
}

TEST_F(CheckLinksWindowTest, StopEndsARunningCheck) {
    // Enough pages that the check is still running when Stop comes.
    for (int i = 0; i < 3000; ++i)
        WriteBytes(dir_.filePath(u"many/p%1.htm"_s.arg(i)), QByteArray(2000, 'x') + "<a href=x>");
    QSignalSpy finished(&window_, &CheckLinksWindow::CheckFinished);
    Button(u"Check"_s)->click();
    EXPECT_TRUE(window_.Checking());
    EXPECT_FALSE(Button(u"Check"_s)->isEnabled());
    Button(u"Stop"_s)->click();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(window_.Checking());
    EXPECT_TRUE(Button(u"Check"_s)->isEnabled());
    EXPECT_TRUE(window_.StatusText().endsWith(u"stopped"_s) || window_.Results().rowCount() == 3002)
        << window_.StatusText().toStdString();
}

TEST_F(CheckLinksWindowTest, AFolderThatCannotBeCheckedIsReported) {
    window_.SetFolder(dir_.filePath(u"no-such-folder"_s));
    Button(u"Check"_s)->click();
    EXPECT_FALSE(window_.Checking());
    EXPECT_EQ(prompts_.Count(ScriptedPrompts::Kind::Error), 1);
}

} // namespace
} // namespace velmora
