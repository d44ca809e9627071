// Deep nesting of every kind: the formatter's time grows in proportion to the
// page, and its output stays a bounded multiple of the page even when the
// style sets no indentation limit.

#include "formatter/html_formatter.h"
#include "formatter_test_support.h"
#include "html_generator.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::NestedPage;
using testing::NestKind;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_TEST_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_TEST_SANITIZED 1
#endif

// Unoptimised and sanitizer builds run several times slower; a formatter that
// reads the nest once per level still takes minutes there.
#if !defined(NDEBUG) || defined(VELMORA_TEST_SANITIZED)
constexpr qint64 kSlowBuildFactor = 10;
#else
constexpr qint64 kSlowBuildFactor = 1;
#endif

// Columns of the leading TABs (eight each) and spaces of a line.
qsizetype IndentColumns(QStringView line) {
    qsizetype columns = 0;
    for (QChar c : line) {
        if (c == u'\t')
            columns += 8;
        else if (c == u' ')
            columns += 1;
        else
            break;
    }
    return columns;
}

qsizetype WidestIndent(const QStringList &lines) {
    qsizetype widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, IndentColumns(line));
    return widest;
}

// 100,000 nested tags of each kind, pages of about 1 MB. When every level made
// the formatter read the rest of the nest, 100,000 nested cells took 25 s and
// 100,000 cells holding comments 12 s; in proportion to the page they take a
// fraction of a second. The bound is far above that so that a busy machine
// does not trip it, and far below the times of a formatter that reads the
// nest again at every level.
TEST(FormatterDeepNesting, EveryKindOf100000NestedTagsFormatsInProportionToThePage) {
    const FormatterStyle stock = testing::StockStyle();
    for (NestKind kind : testing::kNestKinds) {
        const QString page = NestedPage(kind, 100000 / testing::NestTagsPerLevel(kind));
        QElapsedTimer clock;
        clock.start();
        const QString out = FormatHtml(page, stock);
        EXPECT_LT(clock.elapsed(), 5000 * kSlowBuildFactor) << testing::NestKindName(kind);
        // The text may be wrapped between its two words, not lost.
        QString joined;
        for (QChar c : out)
            if (!c.isSpace())
                joined += c;
        EXPECT_TRUE(joined.contains(u"deeptext"_s)) << testing::NestKindName(kind);
    }
}

FormatterStyle IndentingStyle(const QString &options) {
    return testing::StyleFromIni(u"[OPTIONS]\n"_s + options +
                                 u"\n[DIV]\nTagOpen=<DIV>\nTagClose=</DIV>\nisContentIndent=1\n"_s);
}

// 100,000 nested <div>s are a page of 1.1 MB; at four columns a level their
// indentation alone would be 1.25 billion characters.
TEST(FormatterDeepNesting, WithoutAStyleLimitIndentationStopsAtTheHardLimit) {
    const QString page = testing::NestedDivs(100000);
    const QStringList lines =
        FormatHtmlLines(page, IndentingStyle(u"Spacing=4\nMaxIndentColumns=0"_s));
    ASSERT_EQ(lines.size(), 200001);
    EXPECT_EQ(WidestIndent(lines), kIndentColumnsLimit);
    // The deepest levels all sit at the limit.
    EXPECT_EQ(IndentColumns(lines[100000]), kIndentColumnsLimit);
    EXPECT_EQ(lines[100000].trimmed(), u"deep text"_s);
    // About 25 times the page (128 TABs a line); without the limit it would
    // be over a thousand times.
    qsizetype chars = 0;
    for (const QString &line : lines)
        chars += line.size() + 2;
    EXPECT_LT(chars, 30 * page.size());
}

TEST(FormatterDeepNesting, HardIndentLimitLeavesOrdinaryDepthAlone) {
    // 200 levels of four columns: 800 columns, within the limit, as before.
    const QString page = testing::NestedDivs(200);
    EXPECT_EQ(WidestIndent(FormatHtmlLines(page, IndentingStyle(u"Spacing=4"_s))), 800);
    // A style limit below the hard one still applies...
    EXPECT_EQ(WidestIndent(FormatHtmlLines(page, IndentingStyle(u"MaxIndentColumns=100"_s))), 100);
    // ...and one above it, or a huge step, gives no more than the hard limit.
    const QString deeper = testing::NestedDivs(400);
    EXPECT_EQ(WidestIndent(FormatHtmlLines(deeper, IndentingStyle(u"MaxIndentColumns=100000"_s))),
              kIndentColumnsLimit);
    EXPECT_EQ(
        WidestIndent(FormatHtmlLines(testing::NestedDivs(3), IndentingStyle(u"Spacing=999999"_s))),
        kIndentColumnsLimit);
}

TEST(FormatterDeepNesting, OutputAtTheHardLimitIsStable) {
    const FormatterStyle style = IndentingStyle(u"Spacing=3\nMaxIndentColumns=0"_s);
    const QString once = FormatHtml(testing::NestedDivs(1000), style);
    EXPECT_EQ(FormatHtml(once, style), once);
}

} // namespace
} // namespace velmora
