// Finding occurrences in a page's text: lines and columns as the editor
// counts them, and Whole word where it bites.
#include "sitesearch/text_matches.h"

#include "foundation/text_codec.h"

#include <random>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

std::vector<LineMatch> Find(const QString &text, const QString &find, PatternOptions options = {}) {
    std::vector<LineMatch> out;
    CollectMatches(text, TextPattern(find, options), out, {}, {});
    return out;
}

TEST(CollectMatches, LinesAndColumnsFollowEveryKindOfLineEnd) {
    // LF, CR LF and a lone CR each end one line, as in the editor.
    const QString text = u"a x\nb\r\nc x\rd\r\n\r\nxx"_s;
    const auto found = Find(text, u"x"_s);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].line, 1);
    EXPECT_EQ(found[0].column, 3);
    EXPECT_EQ(found[1].line, 3);
    EXPECT_EQ(found[1].column, 3);
    EXPECT_EQ(found[1].shownLine, u"c x"_s);
    EXPECT_EQ(found[2].line, 6);
    EXPECT_EQ(found[2].column, 1);
    EXPECT_EQ(found[3].column, 2);
    EXPECT_EQ(found[3].shownLine, u"xx"_s);
    // Where the occurrence is in the shown line, after lone CRs too.
    const auto cr = Find(u"<h1>old news</h1>\r<p>café old menu</p>\r"_s, u"old"_s);
    ASSERT_EQ(cr.size(), 2u);
    EXPECT_EQ(cr[1].line, 2);
    EXPECT_EQ(cr[1].shownLine.mid(cr[1].shownStart, cr[1].shownLength), u"old"_s);
}

TEST(CollectMatches, AnOccurrenceOverACrLfIsOneCharacterShorterInTheEditor) {
    const auto found = Find(u"one\r\ntwo end\r\nthree"_s, u"end\\r\\nth"_s, {false, true, true});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 2);
    EXPECT_EQ(found[0].column, 5);
    EXPECT_EQ(found[0].length, 7);
    EXPECT_EQ(found[0].editorLength, 6);
    EXPECT_EQ(found[0].shownLine, u"two end"_s);
    EXPECT_EQ(found[0].shownLength, 3); // only what the shown line holds
}

TEST(CollectMatches, WholeWordAtLineEdgesAndNextToLettersBeyondAscii) {
    const PatternOptions whole{true, false, false};
    // At the start and end of lines (and of the text) the edge is a boundary.
    EXPECT_EQ(Find(u"word x\r\nx word\nword"_s, u"word"_s, whole).size(), 3u);
    // An accented letter is a letter: no boundary there.
    EXPECT_TRUE(Find(u"éword wordé ñwordñ"_s, u"word"_s, whole).empty());
    const auto found = Find(u"café word·word"_s, u"word"_s, whole);
    ASSERT_EQ(found.size(), 2u); // a middle dot is no letter
    EXPECT_EQ(found[0].column, 6);
    // The same for a regular expression with Whole word.
    EXPECT_TRUE(Find(u"éword"_s, u"w.rd"_s, {true, false, true}).empty());
}

TEST(CollectMatches, MatchCaseAndCaseFolding) {
    EXPECT_EQ(Find(u"Word WORD word"_s, u"word"_s).size(), 3u);
    EXPECT_EQ(Find(u"Word WORD word"_s, u"word"_s, {false, true, false}).size(), 1u);
    EXPECT_EQ(Find(u"ÉTÉ été"_s, u"été"_s).size(), 2u);
}

TEST(CollectMatches, ALongLineIsShownAroundTheOccurrence) {
    const QString text = QString(5000, u'a') + u"needle"_s + QString(5000, u'b');
    const auto found = Find(text, u"needle"_s);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_LE(found[0].shownLine.size(), kShownLineChars + 2);
    EXPECT_EQ(found[0].shownLine.mid(found[0].shownStart, found[0].shownLength), u"needle"_s);
    EXPECT_EQ(found[0].column, 5001);
}

TEST(CollectMatches, CountsBeyondWhatItKeepsAndStopsWhenAsked) {
    std::vector<LineMatch> out;
    int allowed = 2;
    const MatchCount count = CollectMatches(u"x x x x x"_s, TextPattern(u"x"_s, {}), out,
                                            [&] { return allowed-- > 0; }, {});
    EXPECT_EQ(count.found, 5);
    EXPECT_EQ(out.size(), 2u);
    const QString many = QString(u"x "_s).repeated(10000);
    out.clear();
    const MatchCount stopped =
        CollectMatches(many, TextPattern(u"x"_s, {}), out, {}, [] { return true; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_LT(stopped.found, 10000);
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// Random pages of ASCII words, accented letters (as UTF-8 or as Latin-1
// bytes), characters beyond U+FFFF, marks and every kind of line end.
QByteArray RandomPage(std::mt19937 &random, int most = 40) {
    static const std::vector<QByteArray> pieces{"ab",
                                                "word",
                                                "xab",
                                                "ab_",
                                                " ",
                                                " ",
                                                "\n",
                                                "\r\n",
                                                "\r",
                                                "é",
                                                "\xC3\xA9",
                                                "\xE2\x82\xAC",
                                                "\xF0\x9F\x98\x80",
                                                "\xE9",
                                                "\xFF",
                                                "<p>",
                                                "1ab",
                                                "\xEF\xBB\xBF",
                                                "-",
                                                "ab\xC3\xA9"};
    QByteArray page;
    if (random() % 4 == 0)
        page += "\xEF\xBB\xBF";
    const int count = int(random() % most);
    for (int i = 0; i < count; ++i)
        page += pieces[random() % pieces.size()];
    return page;
}

bool Same(const LineMatch &a, const LineMatch &b) {
    return a.line == b.line && a.column == b.column && a.length == b.length &&
           a.editorLength == b.editorLength && a.shownLine == b.shownLine &&
           a.shownStart == b.shownStart && a.shownLength == b.shownLength;
}

TEST(CollectMatchesInBytes, FindsWhatTheDecodedTextGives) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray page = RandomPage(random);
        for (const QString &find : {u"ab"_s, u"word"_s, u"b"_s}) {
            for (const bool whole : {false, true}) {
                const TextPattern pattern(find, {whole, true, false});
                std::vector<LineMatch> fast, slow;
                const auto fastCount = CollectMatchesInBytes(page, pattern, fast, {}, {});
                ASSERT_TRUE(fastCount.has_value());
                const MatchCount slowCount =
                    CollectMatches(DecodeText(page).text, pattern, slow, {}, {});
                ASSERT_EQ(fastCount->found, slowCount.found) << page.toHex().toStdString();
                ASSERT_EQ(fast.size(), slow.size());
                for (size_t k = 0; k < fast.size(); ++k)
                    ASSERT_TRUE(Same(fast[k], slow[k]))
                        << page.toHex().toStdString() << " " << find.toStdString() << " " << k;
            }
        }
    }
}

// Lines far longer than a row, where a row shows only the part around the
// occurrence, cut inside characters of every length.
TEST(CollectMatchesInBytes, ShowsLongLinesAsTheDecodedTextGivesThem) {
    std::mt19937 random(11122026);
    int cut = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray page = RandomPage(random, 900);
        // No line ends at all, or only the lone CRs (a few long lines).
        page.replace('\n', ' ');
        if (round % 2 == 0)
            page.replace('\r', ' ');
        const TextPattern pattern(u"ab"_s, {false, true, false});
        std::vector<LineMatch> fast, slow;
        const auto fastCount = CollectMatchesInBytes(page, pattern, fast, {}, {});
        ASSERT_TRUE(fastCount.has_value());
        CollectMatches(DecodeText(page).text, pattern, slow, {}, {});
        ASSERT_EQ(fast.size(), slow.size());
        for (size_t k = 0; k < fast.size(); ++k) {
            ASSERT_TRUE(Same(fast[k], slow[k])) << page.toHex().toStdString() << " " << k;
            cut += slow[k].shownLine.startsWith(u'\u2026') ? 1 : 0;
        }
    }
    EXPECT_GT(cut, 1000); // rows that show only part of their line
}

TEST(CollectMatchesInBytes, LeavesToTheTextWhatBytesCannotAnswer) {
    std::vector<LineMatch> out;
    const QByteArray page = "ab AB";
    EXPECT_FALSE(CollectMatchesInBytes(page, TextPattern(u"ab"_s, {}), out, {}, {}));
    EXPECT_FALSE(
        CollectMatchesInBytes(page, TextPattern(u"é"_s, {false, true, false}), out, {}, {}));
    EXPECT_FALSE(
        CollectMatchesInBytes(page, TextPattern(u"a."_s, {false, true, true}), out, {}, {}));
    EXPECT_FALSE(CollectMatchesInBytes(QByteArray("ab\0", 3),
                                       TextPattern(u"ab"_s, {false, true, false}), out, {}, {}));
    EXPECT_FALSE(CollectMatchesInBytes(QByteArray("\xFF\xFE"
                                                  "a\0b\0",
                                                  6),
                                       TextPattern(u"ab"_s, {false, true, false}), out, {}, {}));
}

} // namespace
} // namespace velmora
