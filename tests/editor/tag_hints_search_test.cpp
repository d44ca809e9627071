// Tag hints and search and replace on plain text.

#include "editor/search_replace.h"
#include "editor/tag_hints.h"
#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::ScriptedPrompts;
using Kind = ScriptedPrompts::Kind;

TEST(TagHints, LookupByTagNameAnyCase) {
    const QStringList list = {u"Tag hints"_s, u"<img>: <IMG SRC=\"url\">  "_s,
                              u"<TABLE> : <TABLE BORDER=n>...</TABLE>"_s,
                              u"<TABLE>: second line never used"_s, u"<BR>"_s};
    const QString text = u"text <IMG src=a.gif> <table border=1>x</Table> <br> <p>"_s;
    EXPECT_EQ(TagHintAt(list, text, 8), u"<IMG SRC=\"url\">"_s);
    const QString tableHint = u"<TABLE BORDER=n>...</TABLE>"_s;
    EXPECT_EQ(TagHintAt(list, text, 25), tableHint);
    EXPECT_EQ(TagHintAt(list, text, text.indexOf(u"</Table"_s) + 3), tableHint);
    EXPECT_EQ(TagHintAt(list, text, text.indexOf(u"x</"_s) + 1), tableHint);  // text after a tag
    EXPECT_EQ(TagHintAt(list, text, text.indexOf(u"<br>"_s) + 2), QString()); // no ':'
    EXPECT_EQ(TagHintAt(list, text, text.size() - 1), QString());             // no line
    EXPECT_EQ(TagHintAt(list, text, 2), std::nullopt);                        // no '<' before
    EXPECT_EQ(TagHintAt({}, text, 8), std::nullopt);
}

TEST(TagHints, HintsAreCutAndFilesRead) {
    EXPECT_EQ(HintOfLine(u"<P>: "_s + QString(1500, u'x')).size(), kMaxHintLength);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tagsyntax.txt"_s);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<A>: <A HREF=url>\r\n<B>: b \xe4\r\n");
    f.close();
    const QStringList lines = LoadTagSyntax(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(TagHintAt(lines, u"<b>", 1), u"b \u00e4"_s);
    EXPECT_TRUE(LoadTagSyntax(dir.filePath(u"missing.txt"_s)).isEmpty());
    const QStringList stock = LoadTagSyntax(QStringLiteral(VELMORA_TAG_SYNTAX));
    EXPECT_TRUE(TagHintAt(stock, u"<td>", 1)->startsWith(u"<TD "_s));
}

TEST(FindOrReplace, FindNextWalksFromTheStartThenReportsNotFound) {
    PlainEditableText ed(u"one two one two one"_s);
    ed.Select(10, 0); // a caret somewhere: the search still starts at 0
    ScriptedPrompts prompts;
    EXPECT_EQ(FindOrReplace(ed, u"one"_s, {}, false, false, {}, prompts), 0);
    EXPECT_EQ(FindOrReplace(ed, u"one"_s, {}, false, false, {}, prompts), 8);
    EXPECT_EQ(FindOrReplace(ed, u"ONE"_s, {}, false, false, {}, prompts), 16);
    EXPECT_EQ(ed.SelectedText(), u"one"_s);
    EXPECT_EQ(FindOrReplace(ed, u"one"_s, {}, false, false, {}, prompts), -1);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"one\" not found."_s});
    EXPECT_FALSE(ed.Modified());
    EXPECT_EQ(ed.FocusCount(), 3);
}

TEST(FindOrReplace, ReplaceSelectsTheReplacementAndMarksModified) {
    PlainEditableText ed(u"a cat and a Cat"_s);
    ScriptedPrompts prompts;
    EXPECT_EQ(FindOrReplace(ed, u"cat"_s, u"dog"_s, true, false, {false, true}, prompts), 2);
    EXPECT_EQ(ed.Text(), u"a dog and a Cat"_s);
    EXPECT_EQ(ed.SelectedText(), u"dog"_s);
    EXPECT_TRUE(ed.Modified());
    EXPECT_EQ(FindOrReplace(ed, u"cat"_s, u"dog"_s, true, false, {false, true}, prompts), -1);
}

TEST(ReplaceAll, DoublingTerminatesAndCountsTheOriginalOccurrences) {
    PlainEditableText ed(u"banana a"_s);
    ScriptedPrompts prompts;
    EXPECT_EQ(FindOrReplace(ed, u"a"_s, u"aa"_s, true, true, {}, prompts), 1);
    EXPECT_EQ(ed.Text(), u"baanaanaa aa"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"a\", Replace done: 4 times"_s});
    EXPECT_TRUE(ed.Modified());
}

// Replace All covers the whole text wherever the caret or the selection is,
// also the occurrences before it and the one selected, and counts them all.
TEST(ReplaceAll, ReplacesInTheWholeTextWhereverTheSelectionIs) {
    ScriptedPrompts prompts;
    QString page;
    for (int n = 1; n <= 22; ++n)
        page += u"<td>x"_s + QString::number(n) + u"</td>\n"_s;
    PlainEditableText ed(page);
    ASSERT_EQ(FindOrReplace(ed, u"<td>"_s, {}, false, false, {}, prompts), 0);
    ASSERT_GT(FindOrReplace(ed, u"<td>"_s, {}, false, false, {}, prompts), 0);
    EXPECT_EQ(FindOrReplace(ed, u"<td>"_s, u"<th>"_s, true, true, {}, prompts), 0);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"<td>\", Replace done: 22 times"_s});
    EXPECT_FALSE(ed.Text().contains(u"<td>"_s));
    EXPECT_EQ(ed.Text().count(u"<th>"_s), 22);
    EXPECT_TRUE(ed.Modified());

    // A caret at the end of the text still reaches back to the start.
    PlainEditableText caret(u"x1 x2 x3"_s);
    caret.Select(8, 0);
    EXPECT_EQ(FindOrReplace(caret, u"x"_s, u"y"_s, true, true, {}, prompts), 0);
    EXPECT_EQ(caret.Text(), u"y1 y2 y3"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info).back(), u"\"x\", Replace done: 3 times"_s);

    // The only occurrence, already selected, is replaced too.
    PlainEditableText only(u"abc"_s);
    only.Select(0, 1);
    EXPECT_EQ(FindOrReplace(only, u"a"_s, u"b"_s, true, true, {}, prompts), 0);
    EXPECT_EQ(only.Text(), u"bbc"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info).back(), u"\"a\", Replace done: 1 times"_s);
}

// Find Next and Replace still go on after the selection; a Replace All
// with no occurrence anywhere changes nothing and says so.
TEST(ReplaceAll, FindAndReplaceGoOnAfterTheSelectionAndNothingFoundChangesNothing) {
    ScriptedPrompts prompts;
    PlainEditableText ed(u"x1 x2 x3"_s);
    ed.Select(3, 2);
    EXPECT_EQ(FindOrReplace(ed, u"x"_s, u"y"_s, true, false, {}, prompts), 6);
    EXPECT_EQ(ed.Text(), u"x1 x2 y3"_s);
    PlainEditableText none(u"abc"_s);
    none.Select(1, 1);
    EXPECT_EQ(FindOrReplace(none, u"z"_s, u"y"_s, true, true, {}, prompts), -1);
    EXPECT_EQ(none.Text(), u"abc"_s);
    EXPECT_FALSE(none.Modified());
    EXPECT_EQ(prompts.Texts(Kind::Info).back(), u"\"z\" not found."_s);
}

TEST(ReplaceAll, WholeWordAndMatchCase) {
    ScriptedPrompts prompts;
    PlainEditableText words(u"cat catalog Cat cat_1 (cat)"_s);
    EXPECT_EQ(ReplaceAllInEditor(words, u"cat"_s, u"dog"_s, {true, false}, 0, prompts), 3);
    EXPECT_EQ(words.Text(), u"dog catalog dog cat_1 (dog)"_s);
    PlainEditableText cased(u"cat Cat CAT"_s);
    EXPECT_EQ(ReplaceAllInEditor(cased, u"Cat"_s, u"x"_s, {false, true}, 0, prompts), 1);
    EXPECT_EQ(cased.Text(), u"cat x CAT"_s);
    // A replacement that ends in a letter joins the next occurrence to a word.
    PlainEditableText joined(u"a a"_s);
    EXPECT_EQ(ReplaceAllInEditor(joined, u"a"_s, u"b"_s, {true, false}, 0, prompts), 2);
    PlainEditableText adjacent(u"aa"_s);
    EXPECT_EQ(ReplaceAllInEditor(adjacent, u"a"_s, u"b"_s, {true, false}, 0, prompts), 0);
    EXPECT_EQ(ReplaceAllInEditor(adjacent, u"a"_s, u"b"_s, {false, false}, 0, prompts), 2);
    EXPECT_EQ(adjacent.Text(), u"bb"_s);
}

TEST(ReplaceAll, EmptyFindIsNeverFound) {
    ScriptedPrompts prompts;
    PlainEditableText ed(u"abc"_s);
    EXPECT_EQ(FindOrReplace(ed, QString(), u"x"_s, true, true, {}, prompts), -1);
    EXPECT_EQ(ReplaceAllInEditor(ed, QString(), u"x"_s, {}, 0, prompts), 0);
    EXPECT_EQ(ed.Text(), u"abc"_s);
}

} // namespace
} // namespace velmora
