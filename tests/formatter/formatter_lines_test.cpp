#include "formatter/formatter_lines.h"
#include "foundation/progress.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

TEST(FormatterLines, PutLineAndAddLine) {
    FormatterLists lists;
    QString line = u" "_s;
    PutLine(lists, 2, line, false); // a lone blank goes in as an empty line
    EXPECT_EQ(lists.LinesList, QStringList{u""_s});
    line = u"<p>"_s;
    PutLine(lists, 1, line, false);
    EXPECT_EQ(line, u"<p>"_s);
    PutLine(lists, 3, line, true);
    EXPECT_EQ(line, u""_s);
    EXPECT_EQ(lists.OutList, QStringList{u"<p>"_s});
    EXPECT_EQ(lists.BlocksList, QStringList{u"<p>"_s});
    line = u"x"_s;
    PutLine(lists, 4, line, true); // no such list: nothing appended, still cleared
    EXPECT_EQ(line, u""_s);
    EXPECT_EQ(lists.OutList.size() + lists.LinesList.size() + lists.BlocksList.size(), 3);

    AddLine(lists, 1, line); // empty: not added
    EXPECT_EQ(lists.OutList.size(), 1);
    line = u"<b>"_s;
    AddLine(lists, 1, line);
    EXPECT_EQ(lists.OutList.last(), u"<b>"_s);
    EXPECT_TRUE(line.isEmpty());
}

namespace {
struct RecordingBar final : ProgressBar {
    void SetRange(int minimum, int maximum) override { range = {minimum, maximum}; }
    void SetPosition(int position) override { positions.push_back(position); }
    std::pair<int, int> range{-1, -1};
    std::vector<int> positions;
};
} // namespace

TEST(Progress, SkipLeavesTheBarAlone) {
    RecordingBar bar;
    ProgressInit(bar, true, 10);
    ProgressSet(bar, true, 3);
    EXPECT_EQ(bar.range, std::make_pair(-1, -1));
    EXPECT_TRUE(bar.positions.empty());
    ProgressInit(bar, false, 10);
    ProgressSet(bar, false, 3);
    EXPECT_EQ(bar.range, std::make_pair(0, 10));
    EXPECT_EQ(bar.positions, std::vector<int>{3});
    // An n-item operation steps the 0..10 bar once every (n + 1) div 10 + 1 items.
    EXPECT_EQ(ProgressStride(0), 1);
    EXPECT_EQ(ProgressStride(9), 2);
    EXPECT_EQ(ProgressStride(100), 11);
}
