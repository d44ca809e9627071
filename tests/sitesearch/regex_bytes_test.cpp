// A regular expression matched in a page's UTF-8 bytes must report exactly
// what the search of the decoded text reports: the same occurrences, lines,
// columns and lengths in UTF-16 units, the same shown lines and counts, in
// the same order, searched whole or a piece at a time. Pages the bytes
// cannot answer for are left to the decoded text.
#include "sitesearch/text_matches.h"

#include "foundation/text_codec.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

// Punctuation and symbols beyond ASCII that web pages are full of, each of
// two or three bytes.
const std::vector<QByteArray> kNeutral{"\xC2\xB6",     "\xE2\x80\x9C", "\xE2\x80\x9D",
                                       "\xE2\x80\x94", "\xE2\x82\xAC", "\xC2\xA9",
                                       "\xC2\xBB",     "\xE2\x80\xA6", "\xC2\xB7"};

// Characters the Unicode form of a pattern treats otherwise than the quicker
// one: letters with and without case partners (the Kelvin sign and the long
// s match k and s without case), digits and spaces beyond ASCII, a combining
// accent, a mark inside the text, and characters beyond U+FFFF.
const std::vector<QByteArray> kOthers{
    "\xC3\xA9",     "\xC3\x89T\xC3\x89", "\xC3\x9F",         "\xCE\xA9",         "\xE2\x84\xAA",
    "\xC5\xBF",     "\xC2\xA0",          "\xE2\x80\xA8",     "e\xCC\x81",        "\xD9\xA3",
    "\xE3\x80\x80", "\xEF\xBB\xBF",      "\xF0\x9F\x98\x80", "\xF0\x9D\x92\x9C", "ing\xC3\xA9"};

enum class PageKind { Ascii, Neutral, AnyUtf8 };

QByteArray RandomPage(std::mt19937 &random, int most, PageKind kind) {
    static const std::vector<QByteArray> ascii{
        "reading", "sing", "ing", "Ing", "ING",  "ab", "x1", "_", "a_b", " ", " ",  "  ", "\n",
        "\r\n",    "\r",   "\t",  "<p>", "</p>", "-",  ".",  "(", ")",   "0", "42", "aaa"};
    QByteArray page;
    if (kind != PageKind::Ascii && random() % 4 == 0)
        page += "\xEF\xBB\xBF";
    const int count = int(random() % most);
    for (int i = 0; i < count; ++i) {
        if (kind != PageKind::Ascii && random() % 4 == 0)
            page += kNeutral[random() % kNeutral.size()];
        else if (kind == PageKind::AnyUtf8 && random() % 4 == 0)
            page += kOthers[random() % kOthers.size()];
        else
            page += ascii[random() % ascii.size()];
    }
    return page;
}

PageKind KindOf(int round) {
    return std::array{PageKind::Ascii, PageKind::Neutral, PageKind::AnyUtf8}[round % 3];
}

// Patterns of every kind the search may be given: groups, word edges,
// looking around, anchors, classes, alternation, empty matches, \G, the
// neutral characters themselves, line ends, and [:classes:] (which keep the
// Unicode form).
const QStringList kFixedPatterns{u"\\b\\w+ing\\b"_s,
                                 u"(\\w)(\\w)\\2"_s,
                                 u"(?<=\\s)\\w+"_s,
                                 u"\\w+(?=\\W)"_s,
                                 u"(?<!¶)ab"_s,
                                 u"^\\w*"_s,
                                 u"\\w*$"_s,
                                 u"a.b"_s,
                                 u"[^ <>]+"_s,
                                 u"ing|ab|“"_s,
                                 u"x*"_s,
                                 u"\\Gab"_s,
                                 u"“[^”]*”"_s,
                                 u"\\r?\\n"_s,
                                 u"\\R"_s,
                                 u"[[:punct:]]+"_s,
                                 u"\\W+"_s,
                                 u"\\s+\\S"_s,
                                 u"\\d+"_s,
                                 u"\\x{20AC}|—"_s,
                                 u"(?i)ING"_s,
                                 u"$"_s,
                                 u"\\B.\\B"_s,
                                 u"[[:alpha:]]+\\b"_s,
                                 u".{3}"_s,
                                 u"(*UCP)\\w+"_s,
                                 u"\\X"_s,
                                 u"\\p{P}+"_s};

const QStringList kAtoms{u"\\b"_s, u"\\w+"_s,   u"\\w"_s, u"."_s,        u"[^ ]"_s,
                         u"a"_s,   u"ing"_s,    u"¶"_s,   u"(?<=\\s)"_s, u"(?=\\W)"_s,
                         u"^"_s,   u"$"_s,      u"\\s"_s, u"\\d*"_s,     u"(a|b)"_s,
                         u"\\W"_s, u"[—…]"_s,   u"x?"_s,  u"\\G"_s,      u"(?<!\\w)"_s,
                         u".*?"_s, u"[a-z]+"_s, u"\\n"_s, u"(\\w)\\1"_s, u"[[:space:]]"_s};

QString RandomPattern(std::mt19937 &random) {
    QString pattern;
    const int atoms = 1 + int(random() % 4);
    for (int i = 0; i < atoms; ++i)
        pattern += kAtoms[random() % kAtoms.size()];
    if (random() % 5 == 0)
        pattern += u'|' + kAtoms[random() % kAtoms.size()];
    return pattern;
}

bool Same(const LineMatch &a, const LineMatch &b) {
    return a.line == b.line && a.column == b.column && a.start == b.start && a.length == b.length &&
           a.editorLength == b.editorLength && a.shownLine == b.shownLine &&
           a.shownStart == b.shownStart && a.shownLength == b.shownLength;
}

// Searches the page's bytes and its decoded text with the same pattern; both
// must describe the same occurrences and count the same, with every
// occurrence kept and with only the first few kept.
void ExpectAsDecoded(const QByteArray &page, const TextPattern &pattern) {
    const QString text = DecodeText(page).text;
    for (const int keptMost : {-1, 3}) {
        std::vector<LineMatch> fast, slow;
        int fastKept = 0, slowKept = 0;
        const auto keep = [keptMost](int &kept) {
            return [keptMost, &kept] { return keptMost < 0 || kept++ < keptMost; };
        };
        const auto fastCount = CollectMatchesInBytes(page, pattern, fast, keep(fastKept), {});
        ASSERT_TRUE(fastCount.has_value()) << page.toHex().toStdString();
        const MatchCount slowCount =
            CollectMatches(text, pattern, slow, keep(slowKept), {}, TextCheck::KnownValid);
        const std::string where = page.toHex().toStdString() + " " + pattern.Find().toStdString();
        ASSERT_EQ(fastCount->found, slowCount.found) << where;
        ASSERT_EQ(fast.size(), slow.size()) << where;
        for (size_t k = 0; k < fast.size(); ++k)
            ASSERT_TRUE(Same(fast[k], slow[k]))
                << where << " occurrence " << k << " " << fast[k].line << "/" << slow[k].line << " "
                << fast[k].column << "/" << slow[k].column << " " << fast[k].length << "/"
                << slow[k].length << " " << fast[k].editorLength << "/" << slow[k].editorLength
                << " [" << fast[k].shownLine.toStdString() << "]/["
                << slow[k].shownLine.toStdString() << "] " << fast[k].shownStart << "/"
                << slow[k].shownStart << " " << fast[k].shownLength << "/" << slow[k].shownLength;
    }
}

PatternOptions Options(std::mt19937 &random) {
    return {
        .wholeWord = random() % 4 == 0, .matchCase = random() % 2 == 0, .regularExpression = true};
}

TEST(RegexInBytes, TheNeutralCharactersOfThePagesAreNeutral) {
    for (const QByteArray &c : kNeutral) {
        const QString decoded = QString::fromUtf8(c);
        ASSERT_EQ(decoded.size(), 1);
        EXPECT_TRUE(IsNeutralCharacter(decoded[0].unicode())) << c.toHex().toStdString();
    }
}

TEST(RegexInBytes, FixedPatternsFindWhatTheDecodedTextGives) {
    std::mt19937 random(1212);
    for (int round = 0; round < 400; ++round) {
        const QByteArray page = RandomPage(random, 60, KindOf(round));
        for (const QString &find : kFixedPatterns) {
            const TextPattern pattern(find, Options(random), PatternForms::WithUtf8);
            ASSERT_TRUE(pattern.Valid()) << find.toStdString();
            ExpectAsDecoded(page, pattern);
        }
    }
}

TEST(RegexInBytes, RandomPatternsFindWhatTheDecodedTextGives) {
    std::mt19937 random(20261211);
    int compared = 0;
    for (int round = 0; round < 6000; ++round) {
        const TextPattern pattern(RandomPattern(random), Options(random), PatternForms::WithUtf8);
        if (!pattern.Valid())
            continue; // a quantifier after an anchor and the like
        ExpectAsDecoded(RandomPage(random, 50, KindOf(round)), pattern);
        ++compared;
    }
    EXPECT_GT(compared, 4000);
}

// Long lines, of which a row shows only the part around the occurrence, cut
// next to characters of two and three bytes.
TEST(RegexInBytes, LongLinesAreShownAsTheDecodedTextShowsThem) {
    std::mt19937 random(777);
    for (int round = 0; round < 150; ++round) {
        QByteArray page = RandomPage(random, 1200, KindOf(round + 1));
        page.replace('\n', ' ');
        for (const QString &find : {u"\\b\\w+ing\\b"_s, u"¶\\s*\\w"_s, u"[^ ]{5,}"_s})
            ExpectAsDecoded(page, TextPattern(find, Options(random), PatternForms::WithUtf8));
    }
}

// An occurrence may start at the LF of a CR LF, after the end of its line,
// on lines of every length around what a row shows whole.
TEST(RegexInBytes, AnOccurrenceAtTheLfOfACrLfIsShownAsInTheText) {
    for (const qsizetype length : {qsizetype(0), qsizetype(5), kShownLineChars - 1, kShownLineChars,
                                   kShownLineChars + 1, kShownLineChars + 2, 3 * kShownLineChars}) {
        const QByteArray line = QByteArray(length, 'w').replace(length / 2, 2, "\xC2\xB6");
        for (const QString &find : {u"\\n"_s, u"\\n\\w*"_s, u"\\R|\\n"_s})
            ExpectAsDecoded("top\r\n" + line + "\r\nnext\r\n",
                            TextPattern(find, {.regularExpression = true}, PatternForms::WithUtf8));
    }
}

// The places a search of the bytes finds when each call may only start a
// match up to `piece` bytes on, as the search of a long page goes.
std::vector<std::pair<qsizetype, qsizetype>>
PlacesInPieces(const TextPattern &pattern, QByteArrayView body, TextCheck check, qsizetype piece) {
    std::vector<std::pair<qsizetype, qsizetype>> places;
    qsizetype pos = 0;
    while (pos <= body.size()) {
        const PiecePlace place =
            pattern.NextPlaceInUtf8StartingBy(body, pos, pos + piece, true, check);
        if (!place.match.Found()) {
            if (place.resume < 0)
                break;
            EXPECT_TRUE(place.resume == body.size() || (uchar(body[place.resume]) & 0xC0) != 0x80)
                << "resumes inside a character";
            pos = place.resume;
            continue;
        }
        places.emplace_back(place.match.start, place.match.length);
        pos = place.match.End();
    }
    return places;
}

TEST(RegexInBytes, PiecesOfAnySizeFindWhatOneSearchFinds) {
    std::mt19937 random(4242);
    for (int round = 0; round < 300; ++round) {
        QByteArray page = RandomPage(random, 80, KindOf(round));
        if (page.startsWith("\xEF\xBB\xBF"))
            page.remove(0, 3);
        const TextCheck check = CheckUtf8Text(page);
        const QStringList finds{kFixedPatterns[random() % kFixedPatterns.size()],
                                RandomPattern(random)};
        for (const QString &find : finds) {
            const TextPattern pattern(find, Options(random), PatternForms::WithUtf8);
            if (!pattern.Valid())
                continue;
            ASSERT_TRUE(pattern.SearchesUtf8(check));
            const auto whole = PlacesInPieces(pattern, page, check, page.size() + 1);
            for (const qsizetype piece : {0, 1, 2, 3, 7})
                ASSERT_EQ(PlacesInPieces(pattern, page, check, piece), whole)
                    << page.toHex().toStdString() << " " << find.toStdString() << " " << piece;
        }
    }
}

// A page longer than one piece of the real search, with occurrences and
// characters of several bytes right at the edge of the first piece.
TEST(RegexInBytes, APageOfManyPiecesFindsWhatTheDecodedTextGives) {
    for (const qsizetype shift : {-3, -2, -1, 0, 1}) {
        QByteArray page(kSearchPieceChars + shift, 'a');
        for (qsizetype i = 50; i < page.size(); i += 100)
            page[i] = ' ';
        page += "\xE2\x80\x94sing \xC2\xB6ring\r\nthe end";
        for (const QString &find : {u"\\b\\w+ing\\b"_s, u"—\\w+"_s, u"(?<=¶)r"_s, u"\\Gaa"_s})
            ExpectAsDecoded(page,
                            TextPattern(find, {.regularExpression = true}, PatternForms::WithUtf8));
    }
}

// On a page of megabytes beyond ASCII the check of the bytes reads every
// character: a Stop asked for meanwhile ends the search before any match.
TEST(RegexInBytes, AStopIsNoticedWhileAPageBeyondAsciiIsChecked) {
    QByteArray page;
    while (page.size() < 3 * kSearchPieceChars)
        page += "\xD1\x87\xD1\x82\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 ";
    const TextPattern pattern(u"\\w+"_s, {.regularExpression = true}, PatternForms::WithUtf8);
    int asked = 0;
    std::vector<LineMatch> out;
    const auto count =
        CollectMatchesInBytes(page, pattern, out, {}, [&asked] { return ++asked >= 2; });
    ASSERT_TRUE(count.has_value());
    EXPECT_TRUE(count->stopped);
    EXPECT_EQ(count->found, 0);
    EXPECT_TRUE(out.empty());
}

TEST(RegexInBytes, PagesTheBytesCannotAnswerForAreLeftToTheText) {
    const TextPattern pattern(u"\\w+"_s, {.regularExpression = true}, PatternForms::WithUtf8);
    std::vector<LineMatch> out;
    const std::vector<QByteArray> decodedOnly{
        "caf\xE9 au lait",               // not UTF-8: read as Latin-1
        QByteArray("text\0more", 9),     // a NUL: binary
        QByteArray("\xFF\xFEt\0x\0", 6), // UTF-16
        "over\xC0\xAFlong",              // an overlong form
        "cut \xE2\x80",                  // a sequence cut short
    };
    for (const QByteArray &page : decodedOnly)
        EXPECT_FALSE(CollectMatchesInBytes(page, pattern, out, {}, {}))
            << page.toHex().toStdString();
    // Valid UTF-8 of any characters is searched in its bytes, by the Unicode
    // form where the text needs it, and gives what its text gives.
    const std::vector<QByteArray> inBytes{"caf\xC3\xA9 au lait", "smile \xF0\x9F\x98\x80 here",
                                          "no\xC2\xA0"
                                          "break",
                                          "\xEF\xBB\xBF\xEF\xBB\xBFtwo marks",
                                          "\xF0\x9D\x92\x9Cx \xC3\xA9t\xC3\xA9"};
    for (const QByteArray &page : inBytes) {
        ExpectAsDecoded(page, pattern);
        ExpectAsDecoded(page, TextPattern(u"t\\w"_s, {.wholeWord = true, .regularExpression = true},
                                          PatternForms::WithUtf8));
    }
    // A pattern compiled only for text never searches bytes.
    const TextPattern textOnly(u"\\w+"_s, {.regularExpression = true});
    EXPECT_FALSE(CollectMatchesInBytes("plain", textOnly, out, {}, {}));
    // \C takes one code unit: a byte here, a UTF-16 unit in the text. So it
    // searches bytes only where both are one character.
    const TextPattern oneUnit(u"a\\C"_s, {.regularExpression = true}, PatternForms::WithUtf8);
    EXPECT_FALSE(CollectMatchesInBytes("a\xC2\xB6", oneUnit, out, {}, {}));
    ExpectAsDecoded("ab a\tac", oneUnit);
}

} // namespace
} // namespace velmora
