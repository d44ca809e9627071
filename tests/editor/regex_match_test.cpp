// Regular expressions as TextPattern matches them, held against
// QRegularExpression with the options the editor always used: the same
// occurrence from every position, the same groups, in texts with letters
// beyond ASCII, characters beyond U+FFFF, a lone surrogate, empty matches
// and anchors. The quicker form used for texts of ASCII only must agree
// with the full one on every ASCII text.

#include "editor/text_pattern.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

const QStringList kPatterns{
    uR"(\b\w+ing\b)"_s,   uR"(\w+)"_s,         uR"(\W+)"_s,        uR"(^\w)"_s,
    uR"(\w$)"_s,          uR"($)"_s,           uR"(x*)"_s,         uR"((a)|(b)|(é))"_s,
    uR"([[:alpha:]]+)"_s, uR"([[:punct:]])"_s, uR"(\s+)"_s,        uR"(\d+)"_s,
    uR"(\B.)"_s,          u"\u00e9cole"_s,     u"stra\u00dfe"_s,   u"\u017f"_s,
    u"\u212a"_s,          uR"(.\b)"_s,         uR"((?<=\w)\b)"_s,  uR"(\X)"_s,
    uR"(\bing\b)"_s,      uR"(\S*\x{17f})"_s,  uR"(\S\x{212a})"_s, uR"(\p{Lu}+)"_s,
    uR"(.$)"_s,           uR"(^$)"_s,          uR"((\w)(\w)?)"_s,
};

const QStringList kTexts{
    u""_s,
    u"reading, writing; RING sing-ing_ring 42"_s,
    u"na\u00efve caf\u00e9 \u00c9COLE Stra\u00dfe \u00e9cole"_s,
    // a letter beyond U+FFFF (a surrogate pair) between ASCII letters
    u"a\U0001D49Cbc \U0001F600 x"_s,
    u"one\r\ntwo\nthree\rfour\n"_s,
    u"Kelvin sS \u017f \u212a k"_s,
    // a lone high surrogate: not valid UTF-16
    u"ab "_s + QChar(char16_t(0xD800)) + u" cd"_s,
};

// Every ASCII character, and words made of them.
QString AllAscii() {
    QString text;
    for (char16_t c = 0; c < 128; ++c)
        text += QChar(c);
    return text + u" Reading ING x_1 K s S tab\there\r\nend"_s;
}

QRegularExpression Reference(const QString &find, bool matchCase) {
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(find, flags);
}

// A position a search may start from: not inside a surrogate pair.
bool StartsACharacter(const QString &text, qsizetype pos) {
    return pos == 0 || pos >= text.size() || !text[pos].isLowSurrogate() ||
           !text[pos - 1].isHighSurrogate();
}

TEST(RegexMatch, FindsWhatQRegularExpressionFindsFromEveryPosition) {
    for (const bool matchCase : {false, true}) {
        for (const QString &find : kPatterns) {
            const TextPattern pattern(find, {.matchCase = matchCase, .regularExpression = true});
            ASSERT_TRUE(pattern.Valid()) << find.toStdString();
            const QRegularExpression reference = Reference(find, matchCase);
            for (const QString &text : kTexts) {
                for (qsizetype from = 0; from <= text.size(); ++from) {
                    if (!StartsACharacter(text, from))
                        continue;
                    const QRegularExpressionMatch want = reference.match(text, from);
                    const PatternMatch got = pattern.Next(text, from);
                    SCOPED_TRACE(find.toStdString() + " in \"" + text.toStdString() + "\" from " +
                                 std::to_string(from) + (matchCase ? " case" : ""));
                    ASSERT_EQ(got.Found(), want.hasMatch());
                    if (!want.hasMatch())
                        continue;
                    EXPECT_EQ(got.start, want.capturedStart());
                    EXPECT_EQ(got.length, want.capturedLength());
                    for (int g = 0; g <= reference.captureCount(); ++g) {
                        const QStringView group =
                            size_t(g) < got.groups.size() ? got.groups[g] : QStringView();
                        EXPECT_EQ(group.toString(), want.captured(g)) << "group " << g;
                    }
                    // Counting needs no groups, but finds the very same.
                    const PatternMatch place = pattern.NextPlace(text, from);
                    EXPECT_EQ(place.start, got.start);
                    EXPECT_EQ(place.length, got.length);
                }
            }
        }
    }
}

TEST(RegexMatch, TheAsciiFormAgreesOnAsciiText) {
    const QString text = AllAscii();
    ASSERT_TRUE(QtPrivate::isAscii(text));
    for (const bool matchCase : {false, true}) {
        for (const QString &find : kPatterns) {
            const TextPattern pattern(find, {.matchCase = matchCase, .regularExpression = true});
            for (qsizetype from = 0; from <= text.size(); ++from) {
                const PatternMatch full = pattern.Next(text, from, false, TextCheck::KnownValid);
                const PatternMatch ascii = pattern.Next(text, from, false, TextCheck::KnownAscii);
                SCOPED_TRACE(find.toStdString() + " from " + std::to_string(from) +
                             (matchCase ? " case" : ""));
                ASSERT_EQ(ascii.start, full.start);
                ASSERT_EQ(ascii.length, full.length);
            }
        }
    }
}

TEST(RegexMatch, ReplaceAllWithGroupsOverSurrogatesAndEmptyMatches) {
    const PatternOptions regex{.matchCase = true, .regularExpression = true};
    // A group that holds a character beyond U+FFFF is copied whole.
    EXPECT_EQ(
        TextPattern(uR"((\w)(\w))"_s, regex).ReplaceAll(u"a\U0001D49C b"_s, 0, uR"(\2\1)"_s).text,
        u"\U0001D49Ca b"_s);
    // An empty match between the halves of a pair is never made: the search
    // steps over the pair as one character.
    const ReplaceAllResult empty =
        TextPattern(u"x*"_s, regex).ReplaceAll(u"\U0001F600"_s, 0, u"-"_s);
    EXPECT_EQ(empty.text, u"-\U0001F600-"_s);
    EXPECT_EQ(empty.count, 2);
    // A group the pattern does not have, and one that took no part, give
    // nothing.
    EXPECT_EQ(TextPattern(uR"((a)|(b))"_s, regex).ReplaceAll(u"ab"_s, 0, uR"([\1\2\7])"_s).text,
              u"[a][b]"_s);
}

} // namespace
} // namespace velmora
