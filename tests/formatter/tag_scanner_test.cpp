// The tag scanner: keys, verbatim rows, rule lookup and comment numbers.

#include "formatter/tag_scanner.h"
#include "formatter_test_support.h"
#include "foundation/text_utils.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

TEST(TagScanner, TagKeyTable) {
    const std::pair<QString, QString> rows[] = {
        {u"<td valign=top>"_s, u"<TD>"_s}, {u"</Table >"_s, u"</TABLE>"_s},
        {u"<!DOCTYPE html>"_s, u"<>"_s},   {u"<br/>"_s, u"<BR/>"_s},
        {u"<!-- note -->"_s, u"<!--"_s},   {u"<td"_s, u"<TD"_s},
        {u"<!--~ x ~-->"_s, u"<!--~"_s},   {u"<h1>x</h1>"_s, u"<H1>"_s},
    };
    for (const auto &[text, key] : rows)
        EXPECT_EQ(TagKey(text), key) << text.toStdString();
}

TEST(TagScanner, VerbatimRows) {
    EXPECT_EQ(VerbatimIndex(u"<!--"), 1);
    EXPECT_EQ(VerbatimIndex(u"<!--~"), 2);
    EXPECT_EQ(VerbatimIndex(u"<TEXTAREA>"), 7);
    EXPECT_EQ(VerbatimIndex(u"<TD"), 0);
    const FormatterStyle style;
    const QString text = u"<TD><td class=x><TDX><td"_s;
    TagScanner scan(text, style);
    EXPECT_EQ(scan.VerbatimNameAt(0), u"<TD>"_s);
    EXPECT_EQ(scan.VerbatimNameAt(4), u"<TD>"_s);
    EXPECT_EQ(scan.VerbatimNameAt(16), QString());
    EXPECT_EQ(scan.VerbatimNameAt(21), QString()); // cut off by the end: "<TD"
}

// A blank or a second '<' after the '<' ends the name there: the next word of
// running text is no tag name. A tag cut off by the end has no '>' in its key.
TEST(TagScanner, WrittenKeyStartsAtTheLessThanSign) {
    const FormatterStyle style;
    const QString text = u"a < pre b <<b> c <\tb> <td x"_s;
    TagScanner scan(text, style);
    EXPECT_EQ(scan.WrittenKeyAt(2), u"<>"_s);
    EXPECT_EQ(scan.WrittenKeyAt(10), u"<<B>"_s);
    EXPECT_EQ(scan.WrittenKeyAt(17), u"<>"_s);
    EXPECT_EQ(scan.WrittenKeyAt(22), u"<TD"_s);
}

TEST(TagScanner, HeadingCloserRuleIsInlineOnlyForTheFirstPass) {
    const FormatterStyle style = testing::StyleFromIni(
        u"[BOLD]\nTagOpen=<B>\nTagClose=</B>\n[HEAD]\nTagOpen=<H3>\nTagClose=</H>\nTreatAsText=1\n"_s);
    const QString text = u"</H3></H7><b>"_s;
    TagScanner scan(text, style);
    EXPECT_EQ(scan.InlineRuleAt(0), 2);
    EXPECT_EQ(scan.InlineRuleAt(5), 0);
    EXPECT_EQ(scan.InlineRuleAt(10), 0); // a block rule is never inline
    const RecTAGInfo fallback = DefaultTag();
    const RecTAGInfo *rule = nullptr;
    EXPECT_EQ(FindTagRule(style, u"</H3>", fallback, rule), -1);
    EXPECT_EQ(rule, &fallback);
    EXPECT_EQ(FindTagRule(style, u"<h3>x", fallback, rule), 1); // keys are upper case
    EXPECT_EQ(FindTagRule(style, u"<H3>x", fallback, rule), 1);
    EXPECT_EQ(rule, &style.Rule(2));
    EXPECT_EQ(FindTagRule(style, u"</B>", fallback, rule), -1);
    EXPECT_EQ(rule, &style.Rule(1));
    EXPECT_EQ(FindTagRule(style, u"<P>", fallback, rule), 1);
    EXPECT_EQ(rule, &fallback);
}

TEST(TagScanner, NoSpaceTagsAndLastTagName) {
    EXPECT_TRUE(IsNoSpaceTag(u"<tr class=x>"));
    EXPECT_TRUE(IsNoSpaceTag(u"</h6>"));
    EXPECT_FALSE(IsNoSpaceTag(u"<b>"));
    EXPECT_FALSE(IsNoSpaceTag(u"</td"));
    EXPECT_EQ(LastTagName(u"text <b>x</b>  "_s), u"</B>"_s);
    EXPECT_EQ(LastTagName(u"text <a href=x>"_s), u"<A>"_s);
    EXPECT_EQ(LastTagName(u"text"_s), QString());
    EXPECT_EQ(LastTagName(u">"_s), QString());
}

// The remembered searches must give what a fresh search gives, for any
// order of starting points.
TEST(TagScanner, FindBlockEndMatchesAPlainSearch) {
    std::mt19937 rng(7);
    const QString alphabet = u"</td>TDx -"_s;
    const FormatterStyle style;
    for (int round = 0; round < 200; ++round) {
        QString text;
        const int n = int(rng() % 60) + 1;
        for (int k = 0; k < n; ++k)
            text += alphabet[qsizetype(rng() % alphabet.size())];
        TagScanner scan(text, style);
        for (int q = 0; q < 20; ++q) {
            const qsizetype from = qsizetype(rng() % (n + 1));
            const QString closing = (rng() % 2) ? u"</TD"_s : u"-->"_s;
            const int p = PosFrom(closing, text, int(from + 1));
            qsizetype expected = text.size() - 1;
            if (p > 0) {
                const qsizetype gt = text.indexOf(u'>', p - 1 + closing.size() - 1);
                expected = gt < 0 ? text.size() - 1 : gt;
            }
            EXPECT_EQ(scan.FindBlockEnd(from, closing), expected)
                << text.toStdString() << " from " << from;
        }
    }
}

// The rule index must answer as the scans over the rule table do, including
// which slot wins when several rules share a tag, prefixes holding a '>',
// and the heading closer rule.
TEST(TagScanner, RuleIndexAnswersAsTheRuleTableScans) {
    std::mt19937 rng(11);
    const QString names[] = {u"<B>"_s,  u"</B>"_s, u"<BR>"_s,  u"<B>X>"_s, u"</H>"_s,
                             u"<H2>"_s, u"<TD>"_s, u"</TD>"_s, u"<>"_s,    QString()};
    const auto pick = [&] { return names[rng() % std::size(names)]; };
    for (int round = 0; round < 300; ++round) {
        FormatterStyle style;
        style.TagCount = int(rng() % 8);
        for (int k = 1; k <= style.TagCount; ++k) {
            RecTAGInfo &r = style.TagTable[size_t(k - 1)];
            r.TagOpen = pick();
            r.TagClose = pick();
            r.TreatAsText = rng() % 2;
            r.Index = k;
        }
        const RuleIndex index(style);
        const RecTAGInfo fallback = DefaultTag();
        const QString keys[] = {u"<B>"_s,   u"</B>"_s, u"<BR>"_s, u"<B>X>"_s, u"</H>"_s, u"</H2>"_s,
                                u"</H7>"_s, u"<H2>"_s, u"<TD>"_s, u"</TD>"_s, u"<>"_s,   u"<X>"_s};
        for (const QString &key : keys) {
            int inlineSlot = 0;
            for (int k = 1; k <= style.TagCount && inlineSlot == 0; ++k) {
                const RecTAGInfo &r = style.Rule(k);
                const bool heading = key.size() == 5 && key.startsWith(u"</H") && key[3] >= u'1' &&
                                     key[3] <= u'6' && key[4] == u'>';
                if (r.TreatAsText &&
                    (key == r.TagOpen || key == r.TagClose || (heading && r.TagClose == u"</H>")))
                    inlineSlot = k;
            }
            EXPECT_EQ(index.InlineRule(key), inlineSlot) << key.toStdString();
            const RecTAGInfo *rule = nullptr;
            const int side = FindTagRule(style, key, fallback, rule);
            const RuleIndex::BlockMatch match = index.BlockRule(TagKey(key));
            EXPECT_EQ(match.slot, rule == &fallback ? 0 : rule->Index) << key.toStdString();
            if (match.slot > 0)
                EXPECT_EQ(match.side, side) << key.toStdString();
        }
    }
}

// Each key gets its own answer however many keys share the memo's slots, a
// key met again is not asked for again, and a long key is never kept.
TEST(TagScanner, KeyMemoAnswersPerKeyAndAsksOnce) {
    KeyMemo<int> memo;
    int asked = 0;
    const auto answer = [&](const QString &key) {
        return memo.Get(key, [&] {
            ++asked;
            return int(qHash(key) & 0xffff);
        });
    };
    QStringList keys;
    for (int n = 0; n < 2000; ++n) // far more keys than slots
        keys << u"<T%1>"_s.arg(n);
    for (int round = 0; round < 2; ++round)
        for (const QString &key : keys)
            ASSERT_EQ(answer(key), int(qHash(key) & 0xffff)) << key.toStdString();
    asked = 0;
    for (int n = 0; n < 5; ++n)
        answer(u"<P>"_s);
    EXPECT_EQ(asked, 1);
    const QString longKey = u'<' + QString(100, u'A') + u'>';
    answer(longKey);
    answer(longKey);
    EXPECT_EQ(asked, 3);
}

TEST(TagScanner, CommentNumbersNestAndStayEmptyWithoutStart) {
    const FormatterStyle style = testing::StyleFromIni(
        u"[TABLE]\nTagOpen=<TABLE>\nEnableCounter=1\n[DIV]\nTagOpen=<DIV>\n"_s);
    CommentCounters counters;
    counters.ResetCounters(style.TagCount);
    const RecTAGInfo &table = style.Rule(1);
    EXPECT_EQ(counters.PopEndNumber(style, table), QString());
    EXPECT_EQ(counters.NextStartNumber(style, table), u"1"_s);
    EXPECT_EQ(counters.NextStartNumber(style, table), u"2"_s);
    EXPECT_EQ(counters.PopEndNumber(style, table), u"2"_s);
    EXPECT_EQ(counters.PopEndNumber(style, table), u"1"_s);
    EXPECT_EQ(counters.PopEndNumber(style, table), QString());
    EXPECT_EQ(counters.NextStartNumber(style, style.Rule(2)), QString());
    EXPECT_EQ(counters.NextStartNumber(style, DefaultTag()), QString());
    counters.ResetCounters(style.TagCount);
    EXPECT_EQ(counters.NextStartNumber(style, table), u"1"_s);
}

} // namespace
} // namespace velmora
