// A long page is searched a piece at a time, so that Stop is quick: what it
// finds must be exactly what one search of the whole text finds, also for
// occurrences across the edge of a piece, and a stop must be noticed between
// the pieces even when nothing is found.
#include "sitesearch/text_matches.h"

#include "foundation/text_codec.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

// Where the first piece of a search from the start of a text ends: the
// last place an occurrence may start in it.
constexpr qsizetype kEdge = kSearchPieceChars;

// Lines of plain words without any occurrence of the patterns below, with
// what is placed at `at` written over them.
QString PageWith(qsizetype at, const QString &placed, qsizetype size = kEdge + 4096) {
    QString text = u"abc def\n"_s.repeated(size / 8 + 1).left(size);
    text.replace(at, placed.size(), placed);
    return text;
}

struct Place {
    qsizetype start;
    qsizetype length;
    int line;
    qsizetype column;
    friend bool operator==(const Place &, const Place &) = default;
};

// One search of the whole text, occurrence after occurrence, with lines
// counted from the line feeds before each.
std::vector<Place> WholeTextSearch(const QString &text, const TextPattern &pattern) {
    std::vector<Place> places;
    for (qsizetype pos = 0; pos <= text.size();) {
        const PatternMatch m = pattern.NextPlace(text, pos, true);
        if (!m.Found())
            break;
        const qsizetype lineStart = m.start == 0 ? 0 : text.lastIndexOf(u'\n', m.start - 1) + 1;
        places.push_back({m.start, m.length, int(QStringView(text).first(m.start).count(u'\n')) + 1,
                          m.start - lineStart + 1});
        pos = m.End();
    }
    return places;
}

std::vector<Place> PlacesOf(const std::vector<LineMatch> &found, const QString &text) {
    std::vector<Place> places;
    for (const LineMatch &m : found) {
        qsizetype lineStart = 0;
        for (int line = 1; line < m.line; ++line)
            lineStart = text.indexOf(u'\n', lineStart) + 1;
        places.push_back({lineStart + m.column - 1, m.length, m.line, m.column});
    }
    return places;
}

// Searches text in pieces and as a whole; both must agree, and find count.
void ExpectAsWholeText(const QString &text, const QString &find, PatternOptions options,
                       size_t count) {
    const TextPattern pattern(find, options);
    ASSERT_TRUE(pattern.Valid()) << find.toStdString();
    std::vector<LineMatch> found;
    const MatchCount total = CollectMatches(text, pattern, found, {}, {});
    const std::vector<Place> whole = WholeTextSearch(text, pattern);
    EXPECT_EQ(whole.size(), count) << find.toStdString();
    EXPECT_EQ(total.found, qint64(whole.size())) << find.toStdString();
    EXPECT_EQ(PlacesOf(found, text), whole) << find.toStdString();
}

const PatternOptions kRegex{.matchCase = true, .regularExpression = true};

TEST(SearchInPieces, OccurrencesAcrossTheEdgeOfAPieceAreFoundOnce) {
    for (qsizetype shift = -9; shift <= 2; ++shift) {
        SCOPED_TRACE(shift);
        // Starting before the edge and running past it, or starting after it.
        const QString text = PageWith(kEdge + shift, u"zzzzzzzzy"_s);
        ExpectAsWholeText(text, u"z+y"_s, kRegex, 1);
        ExpectAsWholeText(text, u"zzzzzzzzy"_s, PatternOptions{}, 1);
        ExpectAsWholeText(text, u"ZZZZZZZZY"_s, PatternOptions{}, 1);
    }
}

TEST(SearchInPieces, LookbehindAndWordEdgesSeeTheTextAcrossTheEdge) {
    for (qsizetype shift = -2; shift <= 1; ++shift) {
        SCOPED_TRACE(shift);
        const QString text = PageWith(kEdge + shift, u"QR7"_s);
        ExpectAsWholeText(text, u"(?<=Q)R\\d"_s, kRegex, 1);
        ExpectAsWholeText(text, u"(?<!Q)R\\d"_s, kRegex, 0);
        // "ing" inside a word at the edge is no word of its own.
        const QString words = PageWith(kEdge + shift - 4, u"reading ing "_s);
        ExpectAsWholeText(words, u"\\bing\\b"_s, kRegex, 1);
        ExpectAsWholeText(words, u"ing"_s, PatternOptions{.wholeWord = true}, 1);
    }
}

TEST(SearchInPieces, StartAndEndStandForTheWholeText) {
    // Multi-line off: ^ only at the very start, $ only at the very end
    // (or before a final line feed), however many pieces lie between.
    const QString text = PageWith(0, u"abc"_s, 3 * kEdge + 17);
    ExpectAsWholeText(text, u"^abc"_s, kRegex, 1);
    ExpectAsWholeText(text, u"\\n^a"_s, kRegex, 0);
    ExpectAsWholeText(text + u"end"_s, u"end$"_s, kRegex, 1);
    ExpectAsWholeText(text + u"end"_s, u"d$"_s, kRegex, 1);
}

TEST(SearchInPieces, APatternThatSeesWhereTheMatcherStartsIsSearchedInOnePiece) {
    // \G holds where the search goes on; in pieces it would hold again at
    // the start of every piece ("d" of the fifth letter after the edge).
    const QString text = PageWith(0, u"abc"_s, 2 * kEdge + 64);
    ExpectAsWholeText(text, u"\\G[a-z]"_s, kRegex, 3);
}

TEST(SearchInPieces, EmptyOccurrencesArePassedOver) {
    const QString text = PageWith(kEdge - 1, u"qqq"_s, 2 * kEdge + 5);
    ExpectAsWholeText(text, u"q*"_s, kRegex, 1);
    ExpectAsWholeText(text, u"(?=q)"_s, kRegex, 0);
    ExpectAsWholeText(text, u"q*?"_s, kRegex, 0);
}

TEST(SearchInPieces, ACharacterBeyondU_FFFFAtTheEdgeIsNeverSplit) {
    // Its two halves on either side of the last start of a piece.
    for (qsizetype shift = -1; shift <= 1; ++shift) {
        SCOPED_TRACE(shift);
        const QString text = PageWith(kEdge + shift, u"\U0001F600y\U0001F600"_s);
        ExpectAsWholeText(text, u"\\x{1F600}y"_s, kRegex, 1);
        ExpectAsWholeText(text, u".y"_s, kRegex, 1);
        ExpectAsWholeText(text, u"(?<=\\x{1F600})\\X"_s, kRegex, 2);
    }
}

TEST(SearchInPieces, BytesOfAPageAgreeWithItsTextAcrossTheEdge) {
    for (qsizetype shift = -10; shift <= 1; ++shift) {
        SCOPED_TRACE(shift);
        const QByteArray page = PageWith(kEdge + shift, u" lighthouse é lighthouse "_s).toUtf8();
        const TextPattern pattern(u"lighthouse"_s, {.wholeWord = true, .matchCase = true});
        std::vector<LineMatch> inBytes, inText;
        const auto bytesCount = CollectMatchesInBytes(page, pattern, inBytes, {}, {});
        ASSERT_TRUE(bytesCount.has_value());
        EXPECT_EQ(bytesCount->found, 2);
        CollectMatches(DecodeText(page).text, pattern, inText, {}, {});
        ASSERT_EQ(inBytes.size(), inText.size());
        for (size_t k = 0; k < inBytes.size(); ++k) {
            EXPECT_EQ(inBytes[k].line, inText[k].line);
            EXPECT_EQ(inBytes[k].column, inText[k].column);
        }
    }
}

// Stop is asked between pieces without occurrences, also after an
// occurrence (when the count of occurrences does not call for it): the
// question after the first empty piece already ends the search.
TEST(SearchInPieces, AStopIsNoticedBetweenPiecesWithoutOccurrences) {
    const QString text = PageWith(0, u"lighthouse7"_s, 6 * kEdge);
    const QByteArray bytes = text.toLatin1();
    const auto stopSecondTime = [](int &asked) { return [&asked] { return ++asked >= 2; }; };
    const std::vector<std::pair<QString, PatternOptions>> patterns{
        {u"lighthouse\\d"_s, kRegex},
        {u"lighthouse"_s, PatternOptions{}},
        {u"lighthouse"_s, PatternOptions{.matchCase = true}},
    };
    for (const auto &[find, options] : patterns) {
        SCOPED_TRACE(find.toStdString());
        const TextPattern pattern(find, options);
        std::vector<LineMatch> out;
        int asked = 0;
        const MatchCount inText = CollectMatches(text, pattern, out, {}, stopSecondTime(asked));
        EXPECT_EQ(inText.found, 1);
        EXPECT_TRUE(inText.stopped);
        EXPECT_EQ(asked, 2);
        if (options.matchCase && !options.regularExpression) {
            asked = 0;
            const auto inBytes =
                CollectMatchesInBytes(bytes, pattern, out, {}, stopSecondTime(asked));
            ASSERT_TRUE(inBytes.has_value());
            EXPECT_EQ(inBytes->found, 1);
            EXPECT_TRUE(inBytes->stopped);
            EXPECT_EQ(asked, 2);
        }
    }
}

// The first occurrence far into a page: the lines before it are counted a
// piece at a time too, with a stop noticed between them.
TEST(SearchInPieces, AStopIsNoticedWhileCountingTheLinesBeforeAFarOccurrence) {
    const QString text = PageWith(5 * kEdge, u"lighthouse"_s, 6 * kEdge);
    const TextPattern pattern(u"lighthouse"_s, {.matchCase = true});
    std::vector<LineMatch> out;
    // Stopped from the moment the occurrence is found.
    bool found = false;
    const MatchCount count = CollectMatches(
        text, pattern, out, [&] { return found = true; }, [&] { return found; });
    EXPECT_EQ(count.found, 1);
    EXPECT_TRUE(count.stopped);
    EXPECT_TRUE(out.empty());
}

} // namespace
} // namespace velmora
