// Which texts a regular expression may match with the quicker table form of
// a pattern: the table of neutral characters held against the matcher
// itself, the scan that classifies a text, and many patterns matched with
// the form the scan picks compared with the Unicode form as the truth, on
// texts with neutral characters beyond ASCII and on texts with characters
// that are not neutral.

#include "editor/compiled_regex.h"
#include "editor/text_check.h"
#include "editor/text_pattern.h"

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

QString NeutralBeyondAscii() {
    QString text;
    for (char32_t c = 0x80; c < 0x10000; ++c)
        if (IsNeutralCharacter(char16_t(c)))
            text += QChar(char16_t(c));
    return text;
}

// Characters that must never count as neutral: a letter, a no-break space,
// letters that share a case with ASCII ones (Kelvin sign, long s), a
// circled letter (a symbol with case), a combining accent, a letter and a
// symbol beyond U+FFFF, a zero-width joiner, a next-line control, a
// Mongolian vowel separator, a connector (U+203F), a superscript digit.
const QStringList kNotNeutral{
    u"\u00e9"_s,  u"\u00a0"_s, u"\u212a"_s,     u"\u017f"_s,     u"\u24b6"_s,
    u"e\u0301"_s, u"\u0301"_s, u"\U0001D49C"_s, u"\U0001F600"_s, u"\u200d"_s,
    u"\u0085"_s,  u"\u180e"_s, u"\u203f"_s,     u"\u00b2"_s,
};

TEST(NeutralCharacters, NoUnicodeTestOfTheMatcherTellsThemFromAscii) {
    const QString neutral = NeutralBeyondAscii();
    // The common punctuation and symbols of web pages are in.
    for (const char16_t c : u"\u00b6\u201c\u201d\u2014\u2192\u00a9\u00b0\u00b1\u00d7\u00f7"
                            u"\u2022\u2026\u20ac\u2122\u00a7\u00ab\u00bb")
        if (c != 0) {
            EXPECT_TRUE(IsNeutralCharacter(c)) << std::hex << int(c);
        }
    ASSERT_GT(neutral.size(), 1000);
    // With Unicode properties, none of them is a word character, a digit or
    // a space (without, nothing beyond ASCII is).
    for (const QString &escape : {uR"(\w)"_s, uR"(\d)"_s, uR"(\s)"_s, uR"(\b)"_s}) {
        const CompiledRegex regex(escape, {.unicodeProperties = true});
        ASSERT_TRUE(regex.Valid());
        const RegexHit hit = regex.Match(neutral, 0, false);
        EXPECT_FALSE(hit.Found()) << escape.toStdString() << " matches U+" << std::hex
                                  << int(neutral[hit.Start()].unicode());
    }
    // Ignoring case, none of them matches any other character: every code
    // point that is not one of them, ASCII and beyond U+FFFF included.
    QString others;
    others.reserve(0x110000 * 2);
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c > 0xFFFF)
            others.append(QChar::highSurrogate(c)).append(QChar::lowSurrogate(c));
        else if ((c < 0xD800 || c > 0xDFFF) && (c < 0x80 || !IsNeutralCharacter(c)))
            others.append(QChar(char16_t(c)));
    }
    // One class of them all, in runs (a class of thousands of single
    // characters is slow to match).
    QString anyNeutral = u"["_s;
    for (qsizetype i = 0; i < neutral.size();) {
        qsizetype last = i;
        while (last + 1 < neutral.size() &&
               neutral[last + 1].unicode() == neutral[last].unicode() + 1)
            ++last;
        anyNeutral += u"\\x{%1}-\\x{%2}"_s.arg(neutral[i].unicode(), 0, 16)
                          .arg(neutral[last].unicode(), 0, 16);
        i = last + 1;
    }
    anyNeutral += u"]"_s;
    const CompiledRegex caseless(anyNeutral, {.caseInsensitive = true, .unicodeProperties = true});
    ASSERT_TRUE(caseless.Valid());
    const RegexHit hit = caseless.Match(others, 0, false);
    EXPECT_FALSE(hit.Found()) << "U+" << std::hex << others.mid(hit.Start(), 2).toUcs4().front();
    // Nor one another: a character that, case ignored, comes again later.
    const CompiledRegex again(uR"((?s)(.)(?=.*?\1))"_s,
                              {.caseInsensitive = true, .unicodeProperties = true});
    const RegexHit pair = again.Match(neutral, 0, false);
    EXPECT_FALSE(pair.Found()) << "U+" << std::hex << int(neutral[pair.Start()].unicode());
}

TEST(NeutralCharacters, TheScanFindsTheOneCharacterThatIsNotNeutralWherever) {
    EXPECT_EQ(CheckText(u""_s), TextCheck::KnownAscii);
    EXPECT_EQ(CheckText(u"plain <b>ASCII</b>\r\n"_s), TextCheck::KnownAscii);
    // Every ASCII character goes with neutral ones, 'k' and 's' too (their
    // partners beyond ASCII are the ones left out).
    QString everyAscii;
    for (char16_t c = 0; c < 0x80; ++c)
        everyAscii += QChar(c);
    EXPECT_EQ(CheckText(everyAscii + u"\u00b6"_s), TextCheck::KnownNeutral);
    for (const QString &other : kNotNeutral)
        EXPECT_EQ(CheckText(u"\u00b6 x "_s + other), TextCheck::KnownValid) << other.toStdString();
    // Every position in and around the four-unit steps of the scan.
    for (qsizetype size = 1; size <= 13; ++size) {
        for (qsizetype at = 0; at < size; ++at) {
            QString text(size, u'a');
            text[at] = QChar(u'\u00b6');
            EXPECT_EQ(CheckText(text), TextCheck::KnownNeutral) << size << " " << at;
            text[at] = QChar(u'\u00e9');
            EXPECT_EQ(CheckText(text), TextCheck::KnownValid) << size << " " << at;
            text[0] = QChar(u'\u2014'); // a neutral one first, the other later
            EXPECT_EQ(CheckText(text), at == 0 ? TextCheck::KnownNeutral : TextCheck::KnownValid)
                << size << " " << at;
        }
    }
    // A lone surrogate: not valid, and not known to be unless the caller
    // says so; what a caller knows is never weakened.
    const QString lone = u"\u00b6 "_s + QChar(char16_t(0xD800));
    EXPECT_EQ(CheckText(lone), TextCheck::Check);
    EXPECT_EQ(CheckText(lone, TextCheck::KnownValid), TextCheck::KnownValid);
    EXPECT_EQ(CheckText(u"\u00e9"_s, TextCheck::KnownAscii), TextCheck::KnownAscii);
}

// Pieces of patterns: character tests the Unicode option changes, ones it
// does not, assertions, groups, and punctuation beyond ASCII.
const QStringList kAtoms{
    uR"(\w)"_s,
    uR"(\W)"_s,
    uR"(\d)"_s,
    uR"(\D)"_s,
    uR"(\s)"_s,
    uR"(\S)"_s,
    u"."_s,
    u"[^a]"_s,
    u"[a-z]"_s,
    u"k"_s,
    u"s"_s,
    u"K"_s,
    u"ing"_s,
    uR"(\X)"_s,
    uR"(\R)"_s,
    uR"(\h)"_s,
    uR"(\v)"_s,
    uR"(\H)"_s,
    uR"([\w\x{b6}])"_s,
    uR"([^\W\d])"_s,
    u"\u00b6"_s,
    u"\u2014"_s,
    uR"(\x{2122})"_s,
    uR"((\w))"_s,
    uR"((\W|\s))"_s,
    uR"(\p{P})"_s,
    uR"(\p{L})"_s,
    u"[[:punct:]]"_s,
    u"[[:graph:]]"_s,
    u"[[:alpha:]]"_s,
    u"[[:^space:]]"_s,
};
// Assertions take no quantifier.
const QStringList kAssertions{uR"(\b)"_s,     uR"(\B)"_s, uR"((?<=\W))"_s, uR"((?<!\w))"_s,
                              uR"((?=\s))"_s, u"^"_s,     u"$"_s};
const QStringList kQuantifiers{u""_s, u"+"_s, u"*"_s, u"?"_s, u"{2}"_s, u"+?"_s};

const QStringList kPatterns{
    uR"(\w+)"_s,
    uR"(\b\w+ing\b)"_s,
    uR"(\W)"_s,
    u"."_s,
    u"[^a]"_s,
    uR"(\s+)"_s,
    uR"(\S+)"_s,
    uR"(\d)"_s,
    uR"(\B)"_s,
    u"(?i)k"_s,
    u"(?i)s"_s,
    u"[a-z]+"_s,
    uR"((?<=\W)x)"_s,
    uR"(\X)"_s,
    uR"(\R)"_s,
    uR"(\h)"_s,
    uR"(\v)"_s,
    uR"(\w+|\W+)"_s,
    uR"((\w+)\W{1,3}(\w*))"_s,
    uR"(\b)"_s,
    u"[[:punct:]]+"_s,
    u"[[:graph:]]"_s,
    uR"(\w\b\W)"_s,
    u"(?i)[^k]+"_s,
};

QString RandomPattern(std::mt19937 &random) {
    const auto pick = [&random](const QStringList &list) {
        return list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(random)];
    };
    QString pattern;
    const int pieces = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < pieces; ++i) {
        if (random() % 4 == 0)
            pattern += pick(kAssertions);
        else
            pattern += pick(kAtoms) + pick(kQuantifiers);
        if (random() % 6 == 0 && i + 1 < pieces)
            pattern += u"|"_s;
    }
    return random() % 5 == 0 ? u"(?i)"_s + pattern : pattern;
}

QStringList Patterns() {
    QStringList patterns = kPatterns;
    std::mt19937 random(24);
    for (int i = 0; i < 300; ++i)
        patterns += RandomPattern(random);
    return patterns;
}

QStringList NeutralTexts() {
    QStringList texts{
        u"\u00b6 Heading writing\u00b6 \u2014 reading \u201cquoted\u201d testing\u2026"_s,
        u"3 \u00d7 4 \u00f7 2 \u00b1 1 \u00a9 2024 \u2122 \u20ac5 \u2022 item \u00b0 \u2192 k"_s,
        u"sing\u00b6ing \u00b6\r\n\u00b6 ks KS_1 \u00a9ing x\u00b6x"_s,
    };
    // Others from the table, spread over it, between ASCII letters.
    const QString neutral = NeutralBeyondAscii();
    QString spread = u"ab"_s;
    for (qsizetype i = 0; i < neutral.size(); i += neutral.size() / 23) {
        spread += neutral[i];
        spread += u"ing x"_s[i % 5];
    }
    texts += spread;
    return texts;
}

QStringList OtherTexts() {
    QStringList texts;
    for (const QString &other : kNotNeutral)
        texts += u"\u00b6 ing"_s + other + u"ing writing \u2014k"_s + other + u" s_1 "_s + other;
    texts += u"\u00b6 ab "_s + QChar(char16_t(0xD800)) + u" cd"_s; // a lone surrogate
    return texts;
}

// A search may start at any position but inside a surrogate pair.
bool StartsACharacter(const QString &text, qsizetype pos) {
    return pos == 0 || pos >= text.size() || !text[pos].isLowSurrogate() ||
           !text[pos - 1].isHighSurrogate();
}

// The same occurrence, with the same groups at the same places.
void ExpectSameMatch(const PatternMatch &got, const PatternMatch &want) {
    ASSERT_EQ(got.start, want.start);
    ASSERT_EQ(got.length, want.length);
    ASSERT_EQ(got.groups.size(), want.groups.size());
    for (size_t g = 0; g < want.groups.size(); ++g) {
        EXPECT_EQ(got.groups[g].isNull(), want.groups[g].isNull()) << "group " << g;
        EXPECT_EQ(got.groups[g].data(), want.groups[g].data()) << "group " << g;
        EXPECT_EQ(got.groups[g].size(), want.groups[g].size()) << "group " << g;
    }
}

// Every occurrence from every position, found with the form CheckText picks,
// against the Unicode form (the text fully checked) as the truth.
void ExpectTheChosenFormAgrees(const QStringList &patterns, const QStringList &texts) {
    for (const bool matchCase : {false, true}) {
        for (const QString &find : patterns) {
            const TextPattern pattern(find, {.matchCase = matchCase, .regularExpression = true});
            ASSERT_TRUE(pattern.Valid()) << find.toStdString();
            for (const QString &text : texts) {
                const TextCheck chosen = CheckText(text);
                for (qsizetype from = 0; from <= text.size(); ++from) {
                    if (!StartsACharacter(text, from))
                        continue;
                    SCOPED_TRACE(find.toStdString() + " in \"" + text.toStdString() + "\" from " +
                                 std::to_string(from) + (matchCase ? " case" : ""));
                    ExpectSameMatch(pattern.Next(text, from, false, chosen),
                                    pattern.Next(text, from, false, TextCheck::Check));
                }
            }
        }
    }
}

TEST(NeutralCharacters, TheQuickerFormFindsWhatTheUnicodeFormFinds) {
    const QStringList texts = NeutralTexts();
    for (const QString &text : texts)
        ASSERT_EQ(CheckText(text), TextCheck::KnownNeutral) << text.toStdString();
    ExpectTheChosenFormAgrees(Patterns(), texts);
}

TEST(NeutralCharacters, TextsWithOtherCharactersKeepTheUnicodeForm) {
    const QStringList texts = OtherTexts();
    ExpectTheChosenFormAgrees(Patterns(), texts);
    // Some of them (a symbol with case, a joiner) no pattern here tells
    // apart; they are kept out all the same.
    for (const QString &text : texts)
        EXPECT_NE(CheckText(text), TextCheck::KnownNeutral) << text.toStdString();
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// What CheckUtf8Text must say: the decoder's verdict on the bytes, then the
// scan of the decoded text.
TextCheck ExpectedUtf8Check(const QByteArray &bytes) {
    if (QtPrivate::isAscii(QLatin1StringView(bytes)))
        return TextCheck::KnownAscii;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return TextCheck::Check;
    return CheckText(text) == TextCheck::KnownNeutral ? TextCheck::KnownNeutral
                                                      : TextCheck::KnownValid;
}

// Every character of the Basic Multilingual Plane in its own UTF-8 bytes,
// surrogates written as if they were characters (which is not valid).
TEST(NeutralCharacters, TheUtf8ScanTellsEveryCharacterAsTheTextScanDoes) {
    for (char32_t c = 1; c < 0x10000; ++c) {
        QByteArray bytes;
        if (c < 0x80) {
            bytes += char(c);
        } else if (c < 0x800) {
            bytes += char(0xC0 | (c >> 6));
            bytes += char(0x80 | (c & 0x3F));
        } else {
            bytes += char(0xE0 | (c >> 12));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        }
        const QByteArray inText = "a " + bytes + " b";
        ASSERT_EQ(CheckUtf8Text(inText), ExpectedUtf8Check(inText)) << std::hex << int(c);
    }
}

// Random runs of ASCII, neutral characters, other characters (of two, three
// and four bytes), and the bytes that make UTF-8 invalid: lone continuation
// bytes, overlong forms, cut sequences, surrogates, sequences beyond
// U+10FFFF, bytes never used.
TEST(NeutralCharacters, TheUtf8ScanRefusesWhatTheDecoderRefuses) {
    const std::vector<QByteArray> pieces{"ab",
                                         " ",
                                         "\n",
                                         "\xC2\xB6",
                                         "\xE2\x80\x94",
                                         "\xE2\x82\xAC",
                                         "\x80",
                                         "\xBF",
                                         "\xC0\x80",
                                         "\xC1\xBF",
                                         "\xE0\x80\xAF",
                                         "\xE0\x9F\xBF",
                                         "\xED\xA0\x80",
                                         "\xF4\x90\x80\x80",
                                         "\xF0\x9F\x98\x80",
                                         "\xC2",
                                         "\xE2\x80",
                                         "\xFE",
                                         "\xFF",
                                         "\xEF\xBB\xBF",
                                         "\xC3\xA9",
                                         "\xEF\xBF\xBF",
                                         "\xF8\x88\x80\x80\x80",
                                         "\xF4\x8F\xBF\xBF",
                                         "\xF0\x8F\xBF\xBF",
                                         "\xF0\x9F\x98",
                                         "\xE2\x84\xAA"};
    std::mt19937 random(99);
    int neutral = 0, refused = 0, valid = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int count = 1 + int(random() % 12);
        for (int i = 0; i < count; ++i)
            bytes += pieces[random() % (round % 2 ? pieces.size() : 6)];
        const TextCheck expected = ExpectedUtf8Check(bytes);
        ASSERT_EQ(CheckUtf8Text(bytes), expected) << bytes.toHex().toStdString();
        neutral += expected == TextCheck::KnownNeutral;
        refused += expected == TextCheck::Check;
        valid += expected == TextCheck::KnownValid;
    }
    EXPECT_GT(neutral, 2000);
    EXPECT_GT(refused, 2000);
    EXPECT_GT(valid, 300);
}

} // namespace
} // namespace velmora
