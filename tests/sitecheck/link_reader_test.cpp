#include "sitecheck/html_entities.h"
#include "sitecheck/link_reader.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

using Found = std::vector<std::pair<QString, int>>;

Found Links(const QByteArray &html, bool utf8 = true) {
    Found out;
    for (const PageLink &link : ReadHtmlLinks(html, utf8).links)
        out.emplace_back(link.url, link.line);
    return out;
}

Found Css(const QString &css) {
    std::vector<PageLink> links;
    ReadCssLinks(css, 1, links);
    Found out;
    for (const PageLink &link : links)
        out.emplace_back(link.url, link.line);
    return out;
}

TEST(LinkReader, EveryLinkKindWithItsLine) {
    const QByteArray html = "<html><body background=bg.gif>\n"
                            "<a href=\"a.htm\">a</a><area href='area.htm'>\n"
                            "<img src=img.gif><link rel=stylesheet href=s.css>\n"
                            "<script src=s.js></script><iframe src=if.htm></iframe>\n"
                            "<frame src=f.htm><object data=o.swf></object><embed src=e.swf>\n"
                            "<video src=v.mp4 poster=p.jpg><audio src=au.mp3>\n"
                            "<source src=so.webm><track src=t.vtt>\n"
                            "<input type=image src=i.gif><input type=text src=no.gif>\n"
                            "<table background=tb.gif><tr><td background=td.gif>"
                            "<th background=th.gif>\n"
                            "<meta http-equiv=Refresh content=\"5; URL=next.htm\">\n"
                            "<div style=\"background: url(div.png)\">\n"
                            "<p href=not-a-link.htm src=nor-this.gif>\n";
    const Found expected{{u"bg.gif"_s, 1},  {u"a.htm"_s, 2},     {u"area.htm"_s, 2},
                         {u"img.gif"_s, 3}, {u"s.css"_s, 3},     {u"s.js"_s, 4},
                         {u"if.htm"_s, 4},  {u"f.htm"_s, 5},     {u"o.swf"_s, 5},
                         {u"e.swf"_s, 5},   {u"v.mp4"_s, 6},     {u"p.jpg"_s, 6},
                         {u"au.mp3"_s, 6},  {u"so.webm"_s, 7},   {u"t.vtt"_s, 7},
                         {u"i.gif"_s, 8},   {u"tb.gif"_s, 9},    {u"td.gif"_s, 9},
                         {u"th.gif"_s, 9},  {u"next.htm"_s, 10}, {u"div.png"_s, 11}};
    EXPECT_EQ(Links(html), expected);
}

TEST(LinkReader, AttributesAreReadAsBrowsersReadThem) {
    // Upper-case names, single quotes, blanks around '=', the first of two
    // equal attributes, a '>' inside quotes, and a value over two lines.
    EXPECT_EQ(Links("<A HREF = 'one.htm' href=two.htm>"), (Found{{u"one.htm"_s, 1}}));
    EXPECT_EQ(Links("<a title=\"x>y\" href=\"q.htm\">"), (Found{{u"q.htm"_s, 1}}));
    // Blanks at the ends go, tabs and line breaks inside too, spaces stay.
    EXPECT_EQ(Links("<a\nhref=\"\n  sp ace\t\n.htm \n\">"), (Found{{u"sp ace.htm"_s, 2}}));
    EXPECT_EQ(Links("<img/src=slash.gif/>"), (Found{{u"slash.gif/"_s, 1}}));
    // An attribute read after a later one keeps its own line; line breaks
    // written as entities do not count.
    EXPECT_EQ(
        Links("<input src=b.gif\n\n style=\"&#10;&#10;&#10;&#10;x:url(s.gif)\"\n type=image>"),
        (Found{{u"s.gif"_s, 3}, {u"b.gif"_s, 1}}));
    // CR LF and a lone CR both end a line.
    EXPECT_EQ(Links("a\r\nb\rc\n<a href=x>"), (Found{{u"x"_s, 4}}));
}

TEST(LinkReader, EntitiesInValuesAreDecoded) {
    EXPECT_EQ(Links("<a href=\"a.asp?x=1&amp;y=2\">"), (Found{{u"a.asp?x=1&y=2"_s, 1}}));
    EXPECT_EQ(Links("<a href=\"caf&eacute;.htm\">"), (Found{{u"café.htm"_s, 1}}));
    EXPECT_EQ(Links("<a href=\"&#x2F;r&#101;l.htm\">"), (Found{{u"/rel.htm"_s, 1}}));
    // Without ';' only the old names count, and not before '=' or a letter.
    EXPECT_EQ(DecodeAttributeEntities(u"?a=1&copy=2&amp&ampx"), u"?a=1&copy=2&&ampx"_s);
    EXPECT_EQ(DecodeAttributeEntities(u"&#0;&#x110000;&unknown;"), u"\uFFFD\uFFFD&unknown;"_s);
}

TEST(LinkReader, LatinOnePagesKeepTheirLetters) {
    EXPECT_EQ(Links("<a href=\"caf\xE9.htm\">", false), (Found{{u"café.htm"_s, 1}}));
}

TEST(LinkReader, SrcsetGivesEveryCandidate) {
    EXPECT_EQ(SrcsetUrls(u" a.png 1x, b.png 2x ,c.png"),
              (QStringList{u"a.png"_s, u"b.png"_s, u"c.png"_s}));
    // A comma without a blank after it belongs to the URL.
    EXPECT_EQ(SrcsetUrls(u"a.png,b.png 480w"), (QStringList{u"a.png,b.png"_s}));
    EXPECT_EQ(SrcsetUrls(u"a,1.png 1x, b.png (x, y) 2x, c.png"),
              (QStringList{u"a,1.png"_s, u"b.png"_s, u"c.png"_s}));
    EXPECT_EQ(Links("<picture><source srcset=\"s1.webp 1x, s2.webp 2x\">"
                    "<img srcset=\"i1.png 100w,\ni2.png 200w\" src=i.png>"),
              (Found{{u"s1.webp"_s, 1},
                     {u"s2.webp"_s, 1},
                     {u"i1.png"_s, 1},
                     {u"i2.png"_s, 1},
                     {u"i.png"_s, 2}}));
}

TEST(LinkReader, RefreshUrlForms) {
    EXPECT_EQ(RefreshUrl(u"0; url=a.htm"), u"a.htm"_s);
    EXPECT_EQ(RefreshUrl(u"3;URL='b c.htm'"), u"b c.htm"_s);
    EXPECT_EQ(RefreshUrl(u"2.5, d.htm"), u"d.htm"_s);
    EXPECT_EQ(RefreshUrl(u"10"), QString());
}

TEST(LinkReader, CssUrlsAndImports) {
    EXPECT_EQ(Css(u"a{background:url(plain.gif)}\n"
                  "b{background:URL( \"double.gif\" )}\n"
                  "c{background:url('single.gif')} d{content:'url(not.gif)'}\n"
                  "/* url(comment.gif) */ @import \"imp.css\";\n"
                  "@import url(imp2.css) screen; e{background:myurl(no.gif)}\n"
                  "f{background:url(esc\\).gif)}"_s),
              (Found{{u"plain.gif"_s, 1},
                     {u"double.gif"_s, 2},
                     {u"single.gif"_s, 3},
                     {u"imp.css"_s, 4},
                     {u"imp2.css"_s, 5},
                     {u"esc).gif"_s, 6}}));
}

TEST(LinkReader, StyleBlocksCountLinesOfThePage) {
    EXPECT_EQ(Links("<html>\n<STYLE type=text/css>\np{}\nbody{background:url(b.gif)}\n</style>\n"
                    "<a href=after.htm>"),
              (Found{{u"b.gif"_s, 4}, {u"after.htm"_s, 6}}));
}

TEST(LinkReader, CommentsScriptsAndTextHoldNoLinks) {
    EXPECT_EQ(Links("<!-- <a href=c1.htm> --><!--><a href=ok1.htm>"
                    "<script>document.write('<a href=s.htm>')</script >"
                    "<textarea><img src=t.gif></textarea><title><a href=t.htm></title>"
                    "<a href=ok2.htm>"),
              (Found{{u"ok1.htm"_s, 1}, {u"ok2.htm"_s, 1}}));
    // An unclosed comment runs to the end of the page.
    EXPECT_EQ(Links("<a href=a.htm><!-- <a href=b.htm>"), (Found{{u"a.htm"_s, 1}}));
}

TEST(LinkReader, AnchorsAndBase) {
    const PageLinks page = ReadHtmlLinks("<base href=\" /sub/ \"><base href=second/>"
                                         "<h1 id=top1>x</h1><a name=\"n&amp;1\"></a>"
                                         "<div name=notanchor></div>",
                                         true);
    EXPECT_TRUE(page.hasBase);
    EXPECT_EQ(page.base, u"/sub/"_s);
    EXPECT_EQ(page.anchors, (QStringList{u"top1"_s, u"n&1"_s}));
}

// A page far larger than any real one, and a page with NUL bytes and stray
// markup, are read in time proportional to their size without a crash.
TEST(LinkReader, HugeAndBinaryPagesAreBounded) {
    QByteArray huge;
    huge.reserve(64 << 20);
    while (huge.size() < (32 << 20))
        huge += "<td background=x.gif><a href=\"p.htm\">text</a>\n";
    huge += "<a href=\"unclosed";
    QElapsedTimer timer;
    timer.start();
    const PageLinks links = ReadHtmlLinks(huge, true);
    EXPECT_EQ(links.links.size(), size_t(huge.count('\n')) * 2 + 1);
    EXPECT_EQ(links.links.back().url, u"unclosed"_s);
    EXPECT_LT(timer.elapsed(), 20000);

    static const char kStart[] = "<a href=\"x\0y.htm\">\0<\0<!\0><img src=z.gif>";
    QByteArray binary(kStart, sizeof kStart - 1);
    for (int i = 0; i < 256; ++i)
        binary += char(i);
    binary += "<a href=last.htm";
    const Found found = Links(binary, false);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].first, QString::fromLatin1("x\0y.htm", 7));
    EXPECT_EQ(found[1].first, u"z.gif"_s);
    // Markup that never closes ("<a href=last.htm" at the end) is still a tag.
    EXPECT_EQ(found[2].first, u"last.htm"_s);
    // A set stop ends the reading early.
    std::atomic_bool stop{true};
    EXPECT_TRUE(ReadHtmlLinks(huge, true, &stop).links.size() < 100000u);
}

} // namespace
} // namespace velmora
