// Properties of formatting over generated pages and the sample site: it never
// loses page text, a second run changes nothing, and nothing breaks on deep
// nesting or huge tags.

#include "formatter/formatter_file.h"
#include "formatter/html_formatter.h"
#include "formatter_test_support.h"
#include "html_generator.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::PageShape;
using testing::PageText;

// A style that switches on everything the layout pass can do, inline rules
// with line breaks and comments included.
const char16_t *kBusyStyle = uR"([OPTIONS]
LineSize=40
Spacing=3
TagCase=1
[TABLE]
TagOpen=<TABLE>
TagClose=</TABLE>
isSelfIndent=1
isContentIndent=1
CRLFLeading=3
CRLFFollowed=2
DoGenerateSComment=1
DoGenerateEComment=1
StartComment=T
EndComment=E
EnableCounter=1
CommentSymbol=-
[TD]
TagOpen=<TD>
TagClose=</TD>
isSelfIndent=2
DoGenerateSComment=1
DoGenerateEComment=1
Cindent=0
[DIV]
TagOpen=<DIV>
TagClose=</DIV>
isContentIndent=1
[A]
TagOpen=<A>
TagClose=</A>
TreatAsText=1
CRLFLeading=1
CRLFFollowed=1
DoGenerateSComment=1
DoGenerateEComment=1
StartComment=link
EnableCounter=1
[B]
TagOpen=<B>
TagClose=</B>
TreatAsText=1
[HEADINGS]
TagOpen=<H2>
TagClose=</H>
TreatAsText=1
CRLFFollowed=2
)";

struct NamedStyle {
    const char *name;
    FormatterStyle style;
};

std::vector<NamedStyle> Styles() {
    std::vector<NamedStyle> styles;
    styles.push_back({"stock", testing::StockStyle()});
    styles.push_back({"busy", testing::StyleFromIni(QString::fromUtf16(kBusyStyle))});
    styles.push_back({"none", FormatterStyle()});
    FormatterStyle quotes =
        testing::StyleFromIni(QString::fromUtf16(kBusyStyle)
                                  .replace(u"LineSize=40"_s, u"LineSize=12\nBreakExcluder=<"_s));
    styles.push_back({"tags-protected", quotes});
    return styles;
}

// The first place where two texts differ, with some context, for messages.
std::string FirstDifference(const QString &a, const QString &b) {
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const qsizetype from = std::max<qsizetype>(0, i - 60);
    return "at " + std::to_string(i) + ":\n  [" + a.mid(from, 120).toStdString() + "]\n  [" +
           b.mid(from, 120).toStdString() + "]";
}

void CheckPage(const QString &page, const std::string &what) {
    for (const NamedStyle &s : Styles()) {
        const QString once = FormatHtml(page, s.style);
        ASSERT_TRUE(PageText(once) == PageText(page))
            << what << " lost text with style " << s.name << " "
            << FirstDifference(PageText(page), PageText(once));
        const testing::SettledRuns runs = testing::FormatUntilSettled(page, once, s.style);
        ASSERT_TRUE(runs.actual == runs.expected)
            << what << " changed on run " << runs.run << " with style " << s.name << " "
            << FirstDifference(runs.expected, runs.actual);
    }
}

TEST(FormatterProperties, GeneratedPagesKeepTheirTextAndAreStable) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        CheckPage(testing::GenerateHtml(PageShape::Realistic, 3000, seed),
                  "realistic seed " + std::to_string(seed));
        CheckPage(testing::GenerateHtml(PageShape::Messy, 3000, seed),
                  "messy seed " + std::to_string(seed));
    }
}

TEST(FormatterProperties, GarbageKeepsItsTextAndIsStable) {
    for (std::uint32_t seed = 1; seed <= 300; ++seed)
        CheckPage(testing::GenerateHtml(PageShape::Garbage, 200, seed),
                  "garbage seed " + std::to_string(seed));
}

TEST(FormatterProperties, SampleSitePagesKeepTheirTextAndAreStable) {
    QDirIterator it(QStringLiteral(VELMORA_SAMPLE_SITE), {u"*.htm"_s, u"*.html"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    int pages = 0;
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        CheckPage(QString::fromUtf8(f.readAll()), f.fileName().toStdString());
        ++pages;
    }
    // No page found means the test looked in the wrong place and checked
    // nothing.
    EXPECT_GT(pages, 0) << "no sample site pages in " << VELMORA_SAMPLE_SITE;
}

TEST(FormatterProperties, DeepNestingIsLaidOutWithoutRecursionAndWithCappedIndent) {
    const FormatterStyle stock = testing::StockStyle();
    ASSERT_GT(stock.Options.MaxIndentColumns, 0);
    const QString out = FormatHtml(testing::NestedDivs(20000), stock);
    // One line per tag plus the text, each at most the capped indentation.
    EXPECT_EQ(out.count(u"\r\n"_s), 40001);
    EXPECT_LT(out.size(), 40001 * (stock.Options.MaxIndentColumns + 10));
    EXPECT_TRUE(out.contains(u"deep text"_s));
}

TEST(FormatterProperties, HugeAttributeStaysOneTagAndKeepsItsText) {
    const QString page = testing::LongAttribute(1 << 20);
    const QString out = FormatHtml(page, testing::StockStyle());
    EXPECT_EQ(PageText(out), PageText(page));
    EXPECT_TRUE(out.contains(u"word word"_s)); // the protected value was not broken
}

TEST(FormatterProperties, LineEndsDoNotMatter) {
    const QString lf = testing::GenerateHtml(PageShape::Realistic, 2000, 99);
    QString crlf = lf;
    crlf.replace(u"\n"_s, u"\r\n"_s);
    const FormatterStyle stock = testing::StockStyle();
    EXPECT_EQ(FormatHtml(crlf, stock), FormatHtml(lf, stock));
}

// CR LF pairs count as one line end wherever they stand; a CR on its own is
// no line end and stays, also right before a pair and at the very end.
TEST(FormatterProperties, OnlyCrLfPairsAreLineEnds) {
    const FormatterStyle stock = testing::StockStyle();
    const QString mixed = u"\r\n<p>one\r\ntwo\rthree\nfour\n<b>five</b>\r\n\r\n"
                          u"<pre>\r\nsix\r\n</pre>seven\r"_s;
    QString pairsMadeLf = mixed;
    pairsMadeLf.replace(u"\r\n"_s, u"\n"_s);
    const QString out = FormatHtml(mixed, stock);
    EXPECT_EQ(out, FormatHtml(pairsMadeLf, stock));
    EXPECT_EQ(out.count(u'\r'), out.count(u"\r\n"_s) + 2); // both lone CRs kept
    // Of CR CR LF the pair is the line end, the CR before it stays.
    EXPECT_TRUE(FormatHtml(u"<p>a\r\r\nb</p>"_s, stock).contains(u"a\r b"_s));
}

// The output is encoded in pieces of whole lines: lines far longer than a
// piece, and many short ones around them, come out as one encoding of the
// whole formatted text would give them.
TEST(FormatterProperties, FileOutputIsTheFormattedTextEncodedWhole) {
    const FormatterStyle stock = testing::StockStyle();
    QString page = testing::GenerateHtml(PageShape::Realistic, 3000, 7);
    page += u"<pre>"_s + QString(70000, u'\u00e9') + u"</pre>"_s;
    page += testing::GenerateHtml(PageShape::Realistic, 3000, 8);
    page += u"<pre>"_s + QString(40000, u'x') + u"</pre><p>end"_s;
    page.replace(u"\n"_s, u"\r\n"_s);
    const std::optional<QByteArray> bytes = FormatFileBytes(page.toUtf8(), stock);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, FormatHtml(page, stock).toUtf8());
}

} // namespace
} // namespace velmora
