// The per-character colour kinds beside the editor's text: following
// document changes, the full colouring, the kind of a typed character, and
// the local recolouring that touches nothing outside its range.

#include "editor/syntax_kinds.h"

#include <QString>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

// One letter per character: t text, g tag, q quoted, c comment.
QString Letters(const SyntaxKindStore &store) {
    static const char16_t letter[] = u"tgqc";
    QString out;
    for (qsizetype i = 0; i < store.Size(); ++i)
        out += QChar(letter[int(store.At(i))]);
    return out;
}

TEST(SyntaxKinds, FullColouringGivesEveryCharacterItsRunsKind) {
    SyntaxKindStore store;
    store.ColourAll(u"a<b href=\"x\">c</b><!-- d -->e");
    EXPECT_EQ(Letters(store), u"tggggggggqqqgtggggcccccccccct");
    // An unterminated comment runs to the end; a quoted value ends at '>'.
    store.ColourAll(u"x<!-- open <b>");
    EXPECT_EQ(Letters(store), u"tccccccccccccc");
    store.ColourAll(u"<a href=\"x>y");
    EXPECT_EQ(Letters(store), u"ggggggggqqgt");
}

TEST(SyntaxKinds, ChangesMoveTheKindsAndFillWhatCame) {
    SyntaxKindStore store;
    store.ColourAll(u"<b>xy");
    store.Update(3, 0, 2, 7, SyntaxKind::Comment); // two characters at 3
    EXPECT_EQ(Letters(store), u"gggcctt");
    store.Update(1, 2, 0, 5, SyntaxKind::Text); // "b>" went
    EXPECT_EQ(Letters(store), u"gcctt");
    // The document may count its final separator in a change (whole-text
    // replacements): the counts are cut to what the sizes allow.
    const PositionRange range = store.Update(0, 6, 4, 3, SyntaxKind::Quoted);
    EXPECT_EQ(range.start, 0);
    EXPECT_EQ(range.end, 3);
    EXPECT_EQ(Letters(store), u"qqq");
    EXPECT_EQ(store.At(-1), SyntaxKind::Text);
    EXPECT_EQ(store.At(3), SyntaxKind::Text);
}

TEST(SyntaxKinds, TypingKindWorksOnKindsNotOnColours) {
    const QChar none(0);
    EXPECT_EQ(TypingKind(u'x', u'>', SyntaxKind::Tag, none, SyntaxKind::Text), SyntaxKind::Text);
    EXPECT_EQ(TypingKind(u'<', u'a', SyntaxKind::Text, u'b', SyntaxKind::Text), SyntaxKind::Tag);
    EXPECT_EQ(TypingKind(u'"', u'=', SyntaxKind::Tag, u'>', SyntaxKind::Tag), SyntaxKind::Quoted);
    EXPECT_EQ(TypingKind(u'<', u'-', SyntaxKind::Comment, u'-', SyntaxKind::Comment),
              SyntaxKind::Comment);
    // Quoted before, tag after: the value has ended. Under palettes where
    // text, quoted and comment share one colour this is still told apart.
    EXPECT_EQ(TypingKind(u'x', u'"', SyntaxKind::Quoted, u' ', SyntaxKind::Tag), SyntaxKind::Tag);
    EXPECT_EQ(TypingKind(u'x', u'a', SyntaxKind::Text, u'b', SyntaxKind::Text), SyntaxKind::Text);
    EXPECT_EQ(TypingKind(u'x', none, SyntaxKind::Text, none, SyntaxKind::Text), SyntaxKind::Text);
}

TEST(SyntaxKinds, RecolouringAroundTheCaretStaysInsideTheTagRange) {
    // "<" was just typed before "b": the store still holds the old kinds,
    // here deliberately wrong outside the range to show they are kept.
    const QString text = u"xx <b>yy <i>z"_s;
    SyntaxKindStore store;
    store.Reset(text.size());
    store.Fill({0, text.size()}, SyntaxKind::Comment);
    const PositionRange range = RecolourAroundCaret(text, 4, store);
    EXPECT_EQ(range.start, 3);
    EXPECT_EQ(range.end, 6);
    EXPECT_EQ(Letters(store), u"cccgggccccccc");

    // No '<' before the caret, or no '>' after it: nothing is recoloured.
    EXPECT_TRUE(RecolourAroundCaret(u"ab>", 1, store).Empty());
    EXPECT_TRUE(RecolourAroundCaret(u"<ab", 2, store).Empty());
    EXPECT_TRUE(RecolourAroundCaret(u"<ab>", 0, store).Empty());
}

TEST(SyntaxKinds, CharactersPutBackAreColouredFromWhereTheyStand) {
    const QString text = u"<a href=\"xy\">text<!-- note -->"_s;
    SyntaxKindStore full;
    full.ColourAll(text);
    for (qsizetype start = 0; start < text.size(); ++start) {
        for (qsizetype end = start + 1; end <= text.size(); ++end) {
            SyntaxKindStore store = full;
            store.Fill({start, end}, SyntaxKind::Text);
            // The rest is marked to see that only the range is written.
            ColourFromContext(text, {start, end}, store);
            ASSERT_EQ(Letters(store), Letters(full)) << start << " " << end;
        }
    }
    SyntaxKindStore store;
    store.Reset(4);
    ColourFromContext(u"<b>", {1, 9}, store); // a range past the text's end
    EXPECT_EQ(Letters(store), u"tggt");
}

TEST(SyntaxKinds, StretchesCoverARangeInOrder) {
    SyntaxKindStore store;
    store.ColourAll(u"a<b>c");
    QString seen;
    store.ForEachStretch({0, 99}, [&](qsizetype start, qsizetype length, SyntaxKind kind) {
        seen += u"%1+%2:%3 "_s.arg(start).arg(length).arg(int(kind));
    });
    EXPECT_EQ(seen, u"0+1:0 1+3:1 4+1:0 ");
}

} // namespace
} // namespace velmora
