// The tag that opens or closes the tag around the caret.

#include "editor/tag_match.h"

#include <gtest/gtest.h>

#include <QString>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

// The partner's text for the caret placed just after the n-th occurrence of
// marker (counted from 0); empty when there is none.
QString PartnerText(const QString &text, const QString &marker, int n = 0) {
    qsizetype at = -1;
    for (int i = 0; i <= n; ++i)
        at = text.indexOf(marker, at + 1);
    EXPECT_GE(at, 0) << marker.toStdString();
    const std::optional<TagPair> pair = MatchingTag(text, at + marker.size());
    if (!pair)
        return {};
    return text.mid(pair->partner.start, pair->partner.end - pair->partner.start);
}

TEST(MatchingTag, NestedTagsOfTheSameNamePairByDepth) {
    const QString text = u"<div id=a><div id=b><p>x</p></div><div id=c></div></DIV>"_s;
    EXPECT_EQ(PartnerText(text, u"<div id=a"_s), u"</DIV>"_s);
    EXPECT_EQ(PartnerText(text, u"<div id=b"_s), u"</div>"_s);
    EXPECT_EQ(PartnerText(text, u"</D"_s), u"<div id=a>"_s);
    EXPECT_EQ(PartnerText(text, u"</div"_s, 1), u"<div id=c>"_s);
    EXPECT_EQ(PartnerText(text, u"</di"_s, 0), u"<div id=b>"_s);
    // The pair's spans are exact, whichever end the caret is in.
    const qsizetype inner = text.indexOf(u"<p>"_s);
    const std::optional<TagPair> pair = MatchingTag(text, inner + 1);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->current, (TagSpan{inner, inner + 3}));
    EXPECT_EQ(pair->partner, (TagSpan{inner + 4, inner + 8}));
}

TEST(MatchingTag, NamesMatchInAnyCaseButNotByPrefix) {
    const QString text = u"<Table><TR><td>1</TD></tr></TABLE><b><br></b><bdi></bdi>"_s;
    EXPECT_EQ(PartnerText(text, u"<Tab"_s), u"</TABLE>"_s);
    EXPECT_EQ(PartnerText(text, u"</TAB"_s), u"<Table>"_s);
    EXPECT_EQ(PartnerText(text, u"<td"_s), u"</TD>"_s);
    EXPECT_EQ(PartnerText(text, u"<b"_s), u"</b>"_s);
    EXPECT_EQ(PartnerText(text, u"<bd"_s), u"</bdi>"_s);
}

TEST(MatchingTag, CaretMustBeInsideAnElementTag) {
    const QString text = u"ab<p>text</p>"_s;
    EXPECT_FALSE(MatchingTag(text, 2)); // before the '<'
    EXPECT_TRUE(MatchingTag(text, 3));  // just after it
    EXPECT_TRUE(MatchingTag(text, 5));  // just after the '>'
    EXPECT_FALSE(MatchingTag(text, 7)); // in the text between
    EXPECT_TRUE(MatchingTag(text, 13)); // after the closing tag's '>'
    EXPECT_FALSE(MatchingTag(text, 0));
    EXPECT_FALSE(MatchingTag(text, 99)); // outside the text
    EXPECT_FALSE(MatchingTag(u"<!DOCTYPE html><html></html>"_s, 3));
    EXPECT_FALSE(MatchingTag(QString(), 0));
}

TEST(MatchingTag, VoidSelfClosingAndUnmatchedTagsShowNothing) {
    EXPECT_EQ(PartnerText(u"<p><br></br></p>"_s, u"<b"_s), QString());
    EXPECT_EQ(PartnerText(u"<P><IMG src=a></P>"_s, u"<I"_s), QString());
    EXPECT_EQ(PartnerText(u"<x/><x></x>"_s, u"<x"_s), QString());
    EXPECT_EQ(PartnerText(u"<div><div></div>"_s, u"<div"_s), QString());
    EXPECT_EQ(PartnerText(u"<div></div></div>"_s, u"</div"_s, 1), QString());
    EXPECT_EQ(PartnerText(u"<li>one<li>two</ul>"_s, u"<li"_s), QString());
    // An unfinished tag at the end of the text.
    EXPECT_EQ(PartnerText(u"<p>x</p"_s, u"</p"_s), QString());
}

TEST(MatchingTag, CommentsAndScriptsAreNotMarkup) {
    // Tags inside are neither matched nor counted.
    const QString text = u"<div><!-- <div> </div> --><script>if (a<b) x='<div>';</script>"
                         u"<style>p:after{content:'</div>'}</style></div>"_s;
    EXPECT_EQ(PartnerText(text, u"<div"_s), u"</div>"_s);
    const std::optional<TagPair> outer = MatchingTag(text, 2);
    ASSERT_TRUE(outer);
    EXPECT_EQ(outer->partner.start, text.size() - 6);
    EXPECT_EQ(PartnerText(text, u"</div"_s, 2), u"<div>"_s);
    EXPECT_EQ(MatchingTag(text, text.size())->partner.start, 0);
    // A tag inside a comment or a script has no partner itself.
    EXPECT_EQ(PartnerText(text, u"<!-- <d"_s), QString());
    EXPECT_EQ(PartnerText(text, u"'<d"_s), QString());
    EXPECT_EQ(PartnerText(text, u"'</d"_s), QString());
    // The script and style elements' own tags pair up.
    EXPECT_EQ(PartnerText(text, u"<scr"_s), u"</script>"_s);
    EXPECT_EQ(PartnerText(text, u"</scr"_s), u"<script>"_s);
    EXPECT_EQ(PartnerText(text, u"</sty"_s), u"<style>"_s);
    // After a closed comment and a closed script, tags are markup again.
    EXPECT_EQ(PartnerText(u"<!-- x --><script></script><b>y</b>"_s, u"<b"_s), u"</b>"_s);
}

TEST(MatchingTag, LongPageStaysCorrect) {
    // The outermost pair of a long page with many nested and sibling tags.
    QString text = u"<html><body>"_s;
    for (int i = 0; i < 20000; ++i)
        text += u"<div class=x><p>Line <b>bold</b> <!-- <p> --></p></div>\n"_s;
    text += u"</body></html>"_s;
    EXPECT_EQ(PartnerText(text, u"<htm"_s), u"</html>"_s);
    EXPECT_EQ(MatchingTag(text, text.size() - 2)->partner, (TagSpan{0, 6}));
    EXPECT_EQ(MatchingTag(text, 8)->partner.start, text.size() - 14);
}

} // namespace
} // namespace velmora
