// Replacing in a page's bytes: only the replaced bytes change, whatever the
// encoding, byte-order mark and line ends.
#include "sitesearch/byte_replace.h"

#include "foundation/text_codec.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

constexpr PatternOptions kRegex{false, true, true};

QByteArray Replaced(const QByteArray &bytes, const QString &find, const QString &with,
                    PatternOptions options = {}) {
    return ReplaceInBytes(bytes, TextPattern(find, options), with).bytes;
}

TEST(ReplaceInBytes, RegularExpressionGroupsInTheReplacement) {
    EXPECT_EQ(Replaced("<b>one</b> <B>two</B>\n", u"<b>(\\w+)</b>"_s, u"<strong>\\1</strong>"_s,
                       {false, false, true}),
              QByteArray("<strong>one</strong> <strong>two</strong>\n"));
    EXPECT_EQ(Replaced("a=1;b=2", u"(\\w)=(\\d)"_s, u"\\2\\t\\1\\n\\0"_s, kRegex),
              QByteArray("1\ta\na=1;2\tb\nb=2"));
}

TEST(ReplaceInBytes, Utf8WithMarkChangesOnlyTheReplacedBytes) {
    const QByteArray before = "\xEF\xBB\xBF<p>caf\xC3\xA9 old \xE2\x82\xAC old</p>\r\n";
    const QByteArray after = "\xEF\xBB\xBF<p>caf\xC3\xA9 n\xC3\xBC \xE2\x82\xAC n\xC3\xBC</p>\r\n";
    EXPECT_EQ(Replaced(before, u"old"_s, u"nü"_s), after);
}

TEST(ReplaceInBytes, Latin1StaysLatin1AndRefusesWhatItCannotHold) {
    // 0xE9 alone is not UTF-8: the page is Latin-1.
    const QByteArray before = "caf\xE9 old\xFF\n";
    EXPECT_EQ(Replaced(before, u"old"_s, u"n\u00fc"_s), QByteArray("caf\xE9 n\xFC\xFF\n"));
    EXPECT_EQ(Replaced(before, u"café"_s, u"tea"_s), QByteArray("tea old\xFF\n"));
    const ByteReplacement euro = ReplaceInBytes(before, TextPattern(u"old"_s, {}), u"€"_s);
    EXPECT_FALSE(euro.problem.isEmpty());
    EXPECT_EQ(euro.bytes, before);
}

TEST(ReplaceInBytes, Utf16InBothByteOrdersAndUtf32) {
    const QString text = u"x old \U0001F600 old\r\n"_s;
    const QString want = u"x new \U0001F600 new\r\n"_s;
    for (TextEncoding encoding : {TextEncoding::Utf16Le, TextEncoding::Utf16Be,
                                  TextEncoding::Utf32Le, TextEncoding::Utf32Be}) {
        const QByteArray before = EncodeText(text, encoding, true);
        EXPECT_EQ(Replaced(before, u"old"_s, u"new"_s), EncodeText(want, encoding, true))
            << int(encoding);
    }
}

TEST(ReplaceInBytes, LineEndsOfEveryKindAreKept) {
    const QByteArray before = "a old\r\nb\rold c\nd old\r\n\r\nold";
    EXPECT_EQ(Replaced(before, u"old"_s, u"new"_s),
              QByteArray("a new\r\nb\rnew c\nd new\r\n\r\nnew"));
    // A line end inside an occurrence goes with it, and one in the
    // replacement is written as given.
    EXPECT_EQ(Replaced(before, u"old\\r\\nb"_s, u"x\\ny"_s, kRegex),
              QByteArray("a x\ny\rold c\nd old\r\n\r\nold"));
}

TEST(ReplaceInBytes, NothingFoundGivesTheSameBytesAndBinaryIsLeftAlone) {
    const QByteArray page = "<p>nothing here</p>";
    const ByteReplacement none = ReplaceInBytes(page, TextPattern(u"zzz"_s, {}), u"y"_s);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.bytes, page);
    const QByteArray binary("old\0old", 7);
    const ByteReplacement refused = ReplaceInBytes(binary, TextPattern(u"old"_s, {}), u"new"_s);
    EXPECT_FALSE(refused.problem.isEmpty());
    EXPECT_EQ(refused.bytes, binary);
}

TEST(ReplaceInBytes, ChangedLinesBeforeAndAfter) {
    const ByteReplacement r = ReplaceInBytes("keep\nan old, old line\nkeep\nold\n",
                                             TextPattern(u"old"_s, {}), u"new"_s, 1);
    EXPECT_EQ(r.count, 3);
    ASSERT_EQ(r.changes.size(), 1u);
    EXPECT_EQ(r.changes[0].line, 2);
    EXPECT_EQ(r.changes[0].before, u"an old, old line"_s);
    EXPECT_EQ(r.changes[0].after, u"an new, new line"_s);
    EXPECT_EQ(r.changesLeftOut, 1);
}

TEST(ReplaceInBytes, ALongLineIsShownAroundEachGroupOfChangesNotWhole) {
    // A minified page: one line of 10,000 characters with an occurrence near
    // its start, two close together in the middle, and one at its very end.
    QString line = QString(10000, u'x');
    line.replace(100, 3, u"old"_s);
    line.replace(5000, 3, u"old"_s);
    line.replace(5050, 3, u"old"_s);
    line.replace(9997, 3, u"old"_s);
    // A character beyond U+FFFF just where a cut would fall before the
    // middle group: it is shown whole, never half of it.
    line.replace(4979, 2, u"\U0001F600"_s);
    const QString page = u"first\n"_s + line + u"\nlast old\n"_s;
    const ByteReplacement r =
        ReplaceInBytes(page.toUtf8(), TextPattern(u"old"_s, {.matchCase = true}), u"NEW"_s);
    EXPECT_EQ(r.count, 5);
    ASSERT_EQ(r.changes.size(), 4u);
    const QString ellipsis = u"\u2026"_s;
    const auto around = [&](qsizetype from, qsizetype to) { return line.mid(from, to - from); };
    EXPECT_EQ(r.changes[0].line, 2);
    EXPECT_EQ(r.changes[0].before, ellipsis + around(80, 163) + ellipsis);
    EXPECT_EQ(r.changes[0].after,
              ellipsis + around(80, 100) + u"NEW"_s + around(103, 163) + ellipsis);
    EXPECT_EQ(r.changes[1].line, 2);
    EXPECT_EQ(r.changes[1].before, ellipsis + around(4979, 5113) + ellipsis);
    EXPECT_TRUE(r.changes[1].before.startsWith(ellipsis + u"\U0001F600"_s));
    EXPECT_EQ(r.changes[1].after, ellipsis + around(4979, 5000) + u"NEW"_s + around(5003, 5050) +
                                      u"NEW"_s + around(5053, 5113) + ellipsis);
    // At the line's end nothing is cut, so no ellipsis there.
    EXPECT_EQ(r.changes[2].before, ellipsis + around(9977, 10000));
    EXPECT_EQ(r.changes[2].after, ellipsis + around(9977, 9997) + u"NEW"_s);
    EXPECT_EQ(r.changes[3].line, 3);
    EXPECT_EQ(r.changes[3].before, u"last old"_s);

    // Past the limit, the groups are counted and left out.
    const ByteReplacement limited =
        ReplaceInBytes(page.toUtf8(), TextPattern(u"old"_s, {.matchCase = true}), u"NEW"_s, 2);
    EXPECT_EQ(limited.changes.size(), 2u);
    EXPECT_EQ(limited.changesLeftOut, 2);
}

TEST(ReplaceInBytes, GivesWhatTheEditorsReplaceAllGives) {
    // The same occurrences as the editor's Replace All, whole word after a
    // replacement and empty matches included.
    const QStringList texts{u"a a-a aa\r\nb"_s, u"ab ab\n\u00e9ab"_s, u"x\r\n\r\ny"_s, QString()};
    const struct {
        QString find, with;
        PatternOptions options;
    } cases[] = {{u"a"_s, u"bb"_s, {true, false, false}},
                 {u"ab"_s, QString(), {true, false, false}},
                 {u"x*"_s, u"-"_s, kRegex},
                 {u"^|$"_s, u"|"_s, kRegex},
                 {u"(\\w)\\s"_s, u"\\1_"_s, kRegex}};
    for (const QString &text : texts) {
        for (const auto &c : cases) {
            const TextPattern pattern(c.find, c.options);
            const QByteArray bytes = ReplaceInBytes(text.toUtf8(), pattern, c.with).bytes;
            EXPECT_EQ(QString::fromUtf8(bytes), pattern.ReplaceAll(text, 0, c.with).text)
                << text.toStdString() << " / " << c.find.toStdString();
        }
    }
}

TEST(ReplaceInBytes, WritingGivesTheSameBytesAsThePreview) {
    // The writing route replaces a plain text found with Match case in the
    // bytes themselves; it must give the bytes the decoding route gives,
    // around non-ASCII letters, marks, line ends, a Whole word right after
    // a replacement, and with one buffer reused from page to page.
    const QByteArray pages[] = {
        "old bold old_ old-old oldold OLD old",
        "\xEF\xBB\xBFold \xC3\xA9old old\xC3\xA9 \xD0\xB6 old\xE2\x82\xAC",
        "\xE9old old\xE9 old \xFF",
        "x\xF0\x9F\x98\x80old old\r\nold\rold\n",
        "-a-a -a-a- x-a",
        QByteArray("old\0old", 7),
        EncodeText(u"old -a old\r\n"_s, TextEncoding::Utf16Le, true),
        QByteArray(),
    };
    const QString finds[] = {u"old"_s, u"-a"_s, u"d o"_s};
    const QString withs[] = {u"new"_s, QString(), u"."_s, u"\u00fc"_s, u"\u20ac"_s, u"x_"_s};
    QByteArray out;
    for (const QByteArray &page : pages) {
        for (const QString &find : finds) {
            for (const bool wholeWord : {false, true}) {
                for (const QString &with : withs) {
                    const TextPattern pattern(find, {wholeWord, true, false});
                    const ByteReplacement want = ReplaceInBytes(page, pattern, with);
                    const ReplacementCount got = ReplaceInBytesForWriting(page, pattern, with, out);
                    const std::string what = page.toHex().toStdString() + " / " +
                                             find.toStdString() + " / " + with.toStdString() +
                                             (wholeWord ? " / whole word" : "");
                    EXPECT_EQ(got.count, want.count) << what;
                    EXPECT_EQ(got.problem.isEmpty(), want.problem.isEmpty()) << what;
                    if (got.count > 0) {
                        EXPECT_EQ(out, want.bytes) << what;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace velmora
