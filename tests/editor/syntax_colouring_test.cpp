// Colour runs, the Rich Text they give, palettes and colouring while typing.

#include "editor/caret_colouring.h"
#include "editor/syntax_palette.h"
#include "editor/syntax_rtf.h"
#include "editor/syntax_tokenizer.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

TEST(SyntaxRtf, BodyTable) {
    const std::pair<QString, QByteArray> rows[] = {
        {u"a<b href=\"x\">c</b><!-- d -->e"_s,
         "\\cf0 a\\cf1 <b href=\\cf2 \"x\"\\cf1 >\\cf0 c\\cf1 </b>\\cf3 <!-- d -->\\cf0 \\cf0 e"},
        {u"<a <b>"_s, "\\cf1 <a \\cf1 <b>"},
        {u"<a href=\"x>y"_s, "\\cf1 <a href=\\cf2 \"x\\cf1 >\\cf0 y"},
        {u"x{y}\\z"_s, "\\cf0 x\\{y\\}\\\\z"},
        {u"<p>\r\nhi\r\n</p>"_s, "\\cf1 <p>\\cf0 \r\n\\par hi\r\n\\par \\cf1 </p>"},
    };
    for (const auto &[text, body] : rows)
        EXPECT_EQ(SyntaxRtfBody(text), body) << text.toStdString();
}

TEST(SyntaxRtf, HeaderCarriesTheColourTableAndTrailerCloses) {
    const QByteArray rtf = BuildSyntaxRtf(u"x", SyntaxPalette(1));
    EXPECT_EQ(rtf,
              QByteArray("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
                         "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
                         "{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;"
                         "\\red255\\green0\\blue0;\\red0\\green128\\blue128;}\r\n"
                         "\\deflang1033\\pard\\plain\\f2\\fs18\\cf0 \\cf0 x}"));
}

TEST(SyntaxRtf, LineEndsAndOpeningsAndUnclosedComments) {
    EXPECT_EQ(SyntaxRtfBody(u"a\rb\nc\r\nd"), "\\cf0 a\r\n\\par b\r\n\\par c\r\n\\par d");
    EXPECT_TRUE(SyntaxRtfBody(u"<!-- x").startsWith("\\cf3 <!-- x"));
    EXPECT_EQ(SyntaxRtfBody(u"<!-- a <b> \"c\""), "\\cf3 <!-- a <b> \"c\"\\cf0 ");
    EXPECT_EQ(SyntaxRtfBody(u"<i>é\u20ac"), "\\cf1 <i>\\cf0 \xe9\\u8364?");
}

TEST(SyntaxPalettes, FourModesAndSettings) {
    const SyntaxColours modes[] = {
        {0x000000, 0xFF0000, 0x0000FF, 0x808000},
        {0xC0C0C0, 0xFF0000, 0xC0C0C0, 0xC0C0C0},
        {0xC0C0C0, 0xC0C0C0, 0x0000FF, 0xC0C0C0},
        {0x000000, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0},
    };
    for (int mode = 1; mode <= 4; ++mode) {
        const SyntaxColours c = SyntaxPalette(mode);
        const SyntaxColours &e = modes[mode - 1];
        EXPECT_EQ(c.TextCol, e.TextCol) << mode;
        EXPECT_EQ(c.TagCol, e.TagCol) << mode;
        EXPECT_EQ(c.QuotedCol, e.QuotedCol) << mode;
        EXPECT_EQ(c.CommentCol, e.CommentCol) << mode;
    }
    Settings settings;
    SetSyntaxPalette(settings, 3);
    EXPECT_EQ(settings.QuotedCol, 0x0000FF);
    EXPECT_EQ(settings.TextCol, 0xC0C0C0);
    SetSyntaxPalette(settings, 9);
    EXPECT_EQ(settings.TextCol, 0xC0C0C0);
    SetSyntaxPalette(settings, 1);
    EXPECT_EQ(settings.TextCol, 0);
    EXPECT_EQ(settings.CommentCol, 0x808000);
}

TEST(TypingColour, FollowsTheNeighbours) {
    const SyntaxColours c = SyntaxPalette(1);
    auto colour = [&](QChar key, QChar before, ColorRef cb, QChar after, ColorRef ca) {
        return TypingColour(key, {before, cb, after, ca}, c);
    };
    EXPECT_EQ(colour(u'x', u'>', c.TagCol, u'a', c.TextCol), c.TextCol); // after a tag
    EXPECT_EQ(colour(u'<', u'-', c.CommentCol, u' ', c.CommentCol), c.CommentCol);
    EXPECT_EQ(colour(u'<', u'a', c.TextCol, u'b', c.TextCol), c.TagCol);
    EXPECT_EQ(colour(u'"', u'=', c.TagCol, u'>', c.TagCol), c.QuotedCol);
    EXPECT_EQ(colour(u'x', u'a', c.TextCol, u'>', c.TagCol), c.TagCol);
    EXPECT_EQ(colour(u'x', u'<', c.TagCol, u'a', c.TextCol), c.TagCol);
    EXPECT_EQ(colour(u'x', u'y', c.QuotedCol, u' ', c.TagCol), c.TagCol);
    EXPECT_EQ(colour(u'x', u'y', c.TagCol, u' ', c.TextCol), c.TextCol);
    EXPECT_EQ(colour(u'x', u'y', c.QuotedCol, u'z', c.QuotedCol), c.QuotedCol);
}

TEST(TagAroundCaret, FindsTheRangeFromTheLastOpener) {
    const QString text = u"ab <img src=x> cd <b>e"_s;
    EXPECT_EQ(TagAroundCaret(text, 0).kind, 0);
    EXPECT_EQ(TagAroundCaret(text, 2).kind, 0); // no '<' before
    const RecEditTagInfo inImg = TagAroundCaret(text, 6);
    EXPECT_EQ(inImg.kind, 1);
    EXPECT_EQ(inImg.start, 3);
    EXPECT_EQ(inImg.end, 14);
    EXPECT_EQ(inImg.text, u"<img src=x>"_s);
    // In the text after a tag the range runs on to the next '>'.
    EXPECT_EQ(TagAroundCaret(text, 15).text, u"<img src=x> cd <b>"_s);
    EXPECT_EQ(TagAroundCaret(text, text.size()).kind, 0); // no '>' after
}

TEST(TagAroundCaret, RecolouringStopsAtAnUnclosedComment) {
    const QString text = u"x <a href=\"1\">y<!-- z"_s;
    RecEditTagInfo all;
    all.kind = 1;
    all.start = 0;
    all.end = all.length = text.size();
    const std::vector<SyntaxRun> runs = RecolourRuns(text, all);
    ASSERT_FALSE(runs.empty());
    const SyntaxRun &last = runs.back();
    EXPECT_EQ(last.start + last.length, text.indexOf(u"<!--"_s));
    const RecEditTagInfo tag = TagAroundCaret(text, 5);
    const std::vector<SyntaxRun> inTag = RecolourRuns(text, tag);
    ASSERT_EQ(inTag.size(), 3u);
    EXPECT_EQ(inTag[0].start, 2);
    EXPECT_EQ(inTag[1].kind, SyntaxKind::Quoted);
    EXPECT_EQ(inTag[2].kind, SyntaxKind::Tag);
}

} // namespace
} // namespace velmora
