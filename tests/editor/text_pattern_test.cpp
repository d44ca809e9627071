// Patterns and replacements: literal and regular-expression search, group
// references in replacements, Replace All on empty matches, and how the
// editor's Find and Replace report an invalid pattern.

#include "editor/search_replace.h"
#include "editor/text_pattern.h"
#include "scripted_prompts.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::ScriptedPrompts;
using Kind = ScriptedPrompts::Kind;

constexpr PatternOptions kRegex{.regularExpression = true};

QString ReplaceAllText(const QString &text, const QString &find, const QString &replacement,
                       PatternOptions options, int *count = nullptr) {
    const ReplaceAllResult r = TextPattern(find, options).ReplaceAll(text, 0, replacement);
    if (count)
        *count = r.count;
    return r.text;
}

TEST(TextPattern, LiteralKeepsMatchCaseAndWholeWord) {
    const QString text = u"Cat concat cat_ CAT"_s;
    EXPECT_EQ(TextPattern(u"cat"_s, {}).Next(text, 0).start, 0);
    EXPECT_EQ(TextPattern(u"cat"_s, {.matchCase = true}).Next(text, 0).start, 7);
    EXPECT_EQ(TextPattern(u"cat"_s, {.wholeWord = true}).Next(text, 1).start, 16);
    // A literal pattern is not a regular expression, and its replacement
    // text is written as it stands.
    EXPECT_EQ(TextPattern(u"a.c"_s, {}).Next(u"abc a.c"_s, 0).start, 4);
    EXPECT_EQ(ReplaceAllText(u"x"_s, u"x"_s, u"\\0\\n"_s, {}), u"\\0\\n"_s);
}

TEST(TextPattern, RegularExpressionGroupsAndEscapesInTheReplacement) {
    int count = 0;
    EXPECT_EQ(ReplaceAllText(u"<b>one</b> <B>two</B>"_s, u"<b>(\\w+)</b>"_s, u"[\\1|\\0]"_s, kRegex,
                             &count),
              u"[one|<b>one</b>] [two|<B>two</B>]"_s);
    EXPECT_EQ(count, 2);
    // \n and \t, a doubled backslash, an unknown escape kept, a group that
    // took no part gives nothing, a trailing backslash stays.
    EXPECT_EQ(ReplaceAllText(u"a=1"_s, u"(\\w)=(\\d)(x)?"_s, u"\\2\\t\\1\\n\\\\\\q\\3\\"_s, kRegex),
              u"1\ta\n\\\\q\\"_s);
    // Match case is honoured by the regular expression too.
    EXPECT_EQ(ReplaceAllText(u"Ab ab"_s, u"a(b)"_s, u"\\1"_s,
                             {.matchCase = true, .regularExpression = true}),
              u"Ab b"_s);
}

TEST(TextPattern, AnchorsStandForTheWholeText) {
    const QString text = u"one\ntwo\n"_s;
    EXPECT_EQ(ReplaceAllText(text, u"^"_s, u"> "_s, kRegex), u"> one\ntwo\n"_s);
    EXPECT_EQ(ReplaceAllText(text, u"two\\n$"_s, u"end"_s, kRegex), u"one\nend"_s);
    // A search that starts later does not take its start for the text's.
    EXPECT_FALSE(TextPattern(u"^two"_s, kRegex).Next(text, 4).Found());
    EXPECT_EQ(TextPattern(u"\\btwo"_s, kRegex).Next(text, 4).start, 4);
}

TEST(TextPattern, ReplaceAllOfEmptyMatchesEnds) {
    int count = 0;
    EXPECT_EQ(ReplaceAllText(u"abc"_s, u"x*"_s, u"-"_s, kRegex, &count), u"-a-b-c-"_s);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(ReplaceAllText(u"aab"_s, u"a*"_s, u"X"_s, kRegex), u"XXbX"_s);
    EXPECT_EQ(ReplaceAllText(QString(), u"x*"_s, u"-"_s, kRegex, &count), u"-"_s);
    EXPECT_EQ(count, 1);
    // A character outside the basic plane is stepped over whole.
    EXPECT_EQ(ReplaceAllText(u"\U0001F600"_s, u"(?:)"_s, u"|"_s, kRegex), u"|\U0001F600|"_s);
    // Find passes over empty matches when asked, and finds none at all in a
    // pattern that only matches empty text.
    EXPECT_EQ(TextPattern(u"b*"_s, kRegex).Next(u"aab"_s, 0, true).start, 2);
    EXPECT_FALSE(TextPattern(u"$"_s, kRegex).Next(u"ab"_s, 0, true).Found());
}

TEST(TextPattern, InvalidPatternNamesTheErrorAndOffset) {
    const TextPattern bad(u"ab(c"_s, kRegex);
    EXPECT_FALSE(bad.Valid());
    EXPECT_TRUE(bad.Error().contains(u"offset 4"_s)) << bad.Error().toStdString();
    EXPECT_FALSE(bad.Next(u"ab(c"_s, 0).Found());
    EXPECT_EQ(bad.ReplaceAll(u"ab(c"_s, 0, u"x"_s).count, 0);
    // The same text is a valid literal.
    EXPECT_TRUE(TextPattern(u"ab(c"_s, {}).Valid());

    PlainEditableText ed(u"ab(c"_s);
    ScriptedPrompts prompts;
    EXPECT_EQ(FindOrReplace(ed, u"ab(c"_s, u"x"_s, true, true, kRegex, prompts), -1);
    EXPECT_EQ(ed.Text(), u"ab(c"_s);
    ASSERT_EQ(prompts.Texts(Kind::Info).size(), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Info)[0].startsWith(u"The regular expression \"ab(c\""_s));
    EXPECT_TRUE(prompts.Texts(Kind::Info)[0].contains(bad.Error()));
}

TEST(FindOrReplace, RegularExpressionFindReplaceAndReplaceAll) {
    PlainEditableText ed(u"x1 y22 z333"_s);
    ScriptedPrompts prompts;
    // Find Next selects each match in turn.
    EXPECT_EQ(FindOrReplace(ed, u"\\d+"_s, {}, false, false, kRegex, prompts), 1);
    EXPECT_EQ(ed.SelectedText(), u"1"_s);
    EXPECT_EQ(FindOrReplace(ed, u"\\d+"_s, {}, false, false, kRegex, prompts), 4);
    EXPECT_EQ(ed.SelectedText(), u"22"_s);
    // Replace takes the next match with its groups, and selects the result.
    EXPECT_EQ(FindOrReplace(ed, u"(\\w)(\\d+)"_s, u"\\2\\1"_s, true, false, kRegex, prompts), 7);
    EXPECT_EQ(ed.Text(), u"x1 y22 333z"_s);
    EXPECT_EQ(ed.SelectedText(), u"333z"_s);
    // Replace All goes over the whole text, whatever is selected.
    EXPECT_EQ(FindOrReplace(ed, u"(\\d)"_s, u"<\\1>"_s, true, true, kRegex, prompts), 1);
    EXPECT_EQ(ed.Text(), u"x<1> y<2><2> <3><3><3>z"_s);
    EXPECT_TRUE(ed.Modified());
    EXPECT_EQ(prompts.Texts(Kind::Info).back(), u"\"(\\d)\", Replace done: 6 times"_s);
    // The caret ends after the last replacement.
    EXPECT_EQ(ed.Selection().start, ed.Text().size() - 1);
}

TEST(FindOrReplace, EmptyMatchesInTheEditor) {
    ScriptedPrompts prompts;
    // Replace All of a pattern that can only match empty text ends and
    // inserts at every place.
    PlainEditableText ed(u"ab"_s);
    EXPECT_EQ(FindOrReplace(ed, u"q*"_s, u"."_s, true, true, kRegex, prompts), 0);
    EXPECT_EQ(ed.Text(), u".a.b."_s);
    // Find Next never stops on an empty match: there is nothing to show.
    PlainEditableText find(u"ab"_s);
    EXPECT_EQ(FindOrReplace(find, u"q*"_s, {}, false, false, kRegex, prompts), -1);
    EXPECT_EQ(prompts.Texts(Kind::Info).back(), u"\"q*\" not found."_s);
}

} // namespace
} // namespace velmora
