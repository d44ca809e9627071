// Reading options.ini and tag.ini: defaults, limits, and the line-break rule
// for block tags.

#include "formatter/html_formatter.h"
#include "formatter_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::FormatLf;
using testing::StyleFromIni;

TEST(StyleReader, EmptyFolderGivesDefaultsAndNoRules) {
    QTemporaryDir dir;
    const FormatterStyle style = LoadFormatterStyle(dir.path());
    EXPECT_EQ(style.TagCount, 0);
    EXPECT_EQ(style.Options.LineSize, 80);
    EXPECT_EQ(style.Options.Spacing, 4);
    EXPECT_FALSE(style.Options.DoDisableComments);
    EXPECT_EQ(style.Options.BreakExcluder, u"\""_s);
    EXPECT_EQ(style.Options.TagCase, 1);
    const RecTAGInfo &slot = style.TagTable[0];
    EXPECT_EQ(slot.CommentLength, 40);
    EXPECT_EQ(slot.CommentSymbol, u"*"_s);
    EXPECT_TRUE(slot.Cindent);
    EXPECT_EQ(slot.Index, 0);
}

TEST(StyleReader, WithoutRulesEveryTagGetsItsOwnLineAndNothingIsGenerated) {
    QTemporaryDir dir;
    const FormatterStyle style = LoadFormatterStyle(dir.path());
    EXPECT_EQ(FormatLf(u"<table><tr><td>x <b>y</b></td></tr></table>"_s, style),
              u"<TABLE>\n<TR>\n<TD>\nx\n<B>\ny\n</B>\n</TD>\n</TR>\n</TABLE>\n"_s);
}

TEST(StyleReader, OptionsAreReadWithIniRules) {
    const FormatterStyle style = StyleFromIni(
        u"[options]\nlinesize = $20\nSpacing=\"3\"\nDoDisableComments=7\nBreakExcluder=<\n"
        "TagCase=3\n"_s);
    EXPECT_EQ(style.Options.LineSize, 32);
    EXPECT_EQ(style.Options.Spacing, 3);
    EXPECT_TRUE(style.Options.DoDisableComments);
    EXPECT_EQ(style.Options.BreakExcluder, u"<"_s);
    EXPECT_EQ(style.Options.TagCase, 3);
}

TEST(StyleReader, OnlyTheFirstHundredSectionsAreRules) {
    QString ini;
    for (int k = 1; k <= 150; ++k)
        ini += u"[R%1]\nTagOpen=<T%1>\n"_s.arg(k);
    const FormatterStyle style = StyleFromIni(ini);
    EXPECT_EQ(style.TagCount, 100);
    EXPECT_EQ(style.Rule(100).Name, u"R100"_s);
    EXPECT_EQ(style.Rule(100).TagOpen, u"<T100>"_s);
    EXPECT_EQ(style.Rule(100).Index, 100);
    EXPECT_EQ(style.Rule(1).Index, 1);
}

TEST(StyleReader, StringsAreCutToTheirStoredLength) {
    const QString forty(40, u'c');
    const FormatterStyle style =
        StyleFromIni(u"[R]\nTagOpen=<ABCDEFGHIJKLMNOPQRSTUVWXYZ>\n"
                     "StartComment=%1\nEndComment=%1\nCommentSymbol=#+\n"_s.arg(forty));
    const RecTAGInfo &r = style.Rule(1);
    EXPECT_EQ(r.TagOpen, u"<ABCDEFGHIJKLMNOPQRS"_s);
    EXPECT_EQ(r.StartComment, forty.left(30));
    EXPECT_EQ(r.EndComment, forty.left(30));
    EXPECT_EQ(r.CommentSymbol, u"#"_s);
}

TEST(StyleReader, BlockTagsBreakLinesInlineTagsKeepTheirValues) {
    const FormatterStyle style = StyleFromIni(
        u"[BLOCK]\nTagOpen=<DIV>\n[INLINE]\nTagOpen=<B>\nTreatAsText=1\n"
        "[NEG]\nTagOpen=<P>\nCRLFLeading=-2\nCRLFFollowed=3\n[lower]\nTagOpen=<span>\n"_s);
    EXPECT_EQ(style.Rule(1).CRLFLeading, 1);
    EXPECT_EQ(style.Rule(1).CRLFFollowed, 1);
    EXPECT_EQ(style.Rule(2).CRLFLeading, 0);
    EXPECT_EQ(style.Rule(2).CRLFFollowed, 0);
    EXPECT_EQ(style.Rule(3).CRLFLeading, -2);
    EXPECT_EQ(style.Rule(3).CRLFFollowed, 3);
    // Rules are matched against upper-case keys.
    EXPECT_EQ(style.Rule(4).TagOpen, u"<SPAN>"_s);
}

// A style cannot ask for more line breaks than any layout wants: a billion
// would turn a one-line page into gigabytes of empty lines.
TEST(StyleReader, LineBreaksAreBounded) {
    const FormatterStyle style = StyleFromIni(
        u"[P]\nTagOpen=<P>\nTagClose=</P>\nCRLFLeading=1000000000\nCRLFFollowed=$7FFFFFFF\n"_s);
    EXPECT_EQ(style.Rule(1).CRLFLeading, kMaxLineBreaks);
    EXPECT_EQ(style.Rule(1).CRLFFollowed, kMaxLineBreaks);
    const QString out = FormatHtml(u"<p>a<p>b"_s, style);
    EXPECT_LT(out.size(), 1000);
}

TEST(StyleReader, RuleWithoutSymbolGeneratesCommentsWithoutFill) {
    const FormatterStyle style = StyleFromIni(
        u"[HR]\nTagOpen=<HR>\nDoGenerateSComment=1\nStartComment=rule\nCommentLength=30\n"_s);
    EXPECT_EQ(FormatLf(u"<hr>"_s, style), u"<!--~ rule ~-->\n<HR>\n"_s);
}

TEST(StyleReader, TagCaseThreeKeepsNamesAsWritten) {
    const FormatterStyle style = StyleFromIni(u"[OPTIONS]\nTagCase=3\n"_s);
    EXPECT_EQ(FormatLf(u"<DiV Class=X>a</dIv>"_s, style), u"<DiV Class=X>\na\n</dIv>\n"_s);
    const FormatterStyle lower = StyleFromIni(u"[OPTIONS]\nTagCase=2\n"_s);
    EXPECT_EQ(FormatLf(u"<DiV Class=X>a</dIv>"_s, lower), u"<div Class=X>\na\n</div>\n"_s);
}

// Styles are the folders holding a style file; other folders and files are
// not offered.
TEST(StyleReader, StyleNamesAreTheFoldersWithStyleFiles) {
    QTemporaryDir styles;
    for (const char *folder : {"THUMBS", "HTML5", "empty", "tags"})
        QDir(styles.path()).mkpath(QLatin1String(folder));
    QFile(styles.filePath(u"THUMBS/options.ini"_s)).open(QIODevice::WriteOnly);
    QFile(styles.filePath(u"HTML5/tag.ini"_s)).open(QIODevice::WriteOnly);
    QFile(styles.filePath(u"tags/readme.txt"_s)).open(QIODevice::WriteOnly);
    QFile(styles.filePath(u"options.ini"_s)).open(QIODevice::WriteOnly);
    EXPECT_EQ(FormatterStyleNames(styles.path()), (QStringList{u"HTML5"_s, u"THUMBS"_s}));
    EXPECT_TRUE(FormatterStyleNames(styles.filePath(u"missing"_s)).isEmpty());
}

TEST(StyleReader, VerbatimTagsAreNamesInUpperCase) {
    const FormatterStyle style =
        StyleFromIni(u"[OPTIONS]\nVerbatimTags=svg, Math  x-y TEMPLATE svg\n"_s);
    EXPECT_EQ(style.Options.VerbatimTags, (QStringList{u"SVG"_s, u"MATH"_s, u"TEMPLATE"_s}));
    EXPECT_TRUE(StyleFromIni(QString()).Options.VerbatimTags.isEmpty());
}

TEST(StyleReader, VerbatimTagsAreSeparatedByBlanksTabsAndCommas) {
    const FormatterStyle style =
        StyleFromIni(u"[OPTIONS]\nVerbatimTags=\tsvg,,math\t template,\n"_s);
    EXPECT_EQ(style.Options.VerbatimTags, (QStringList{u"SVG"_s, u"MATH"_s, u"TEMPLATE"_s}));
    EXPECT_EQ(StyleFromIni(u"[OPTIONS]\nVerbatimTags=pre\n"_s).Options.VerbatimTags,
              QStringList{u"PRE"_s});
    EXPECT_TRUE(StyleFromIni(u"[OPTIONS]\nVerbatimTags= , \n"_s).Options.VerbatimTags.isEmpty());
}

// A style's verbatim tags are copied as PRE blocks are: closed in any letter
// case, the text around them on lines of their own; a block never closed
// runs to the end without the page's last line breaks. Without the option
// the same tags are laid out as any other.
TEST(StyleReader, VerbatimTagsKeepTheirBlocksAsWritten) {
    const FormatterStyle style = StyleFromIni(
        u"[OPTIONS]\nVerbatimTags=SVG\n[DIV]\nTagOpen=<DIV>\nTagClose=</DIV>\nisContentIndent=1\n"_s);
    EXPECT_EQ(FormatLf(u"<div>a <svg w=1>\n  <g>  x</g>\n</SVG > b</div>"_s, style),
              u"<DIV>\n    a\n<svg w=1>\n  <g>  x</g>\n</SVG >\n    b\n</DIV>\n"_s);
    EXPECT_EQ(FormatLf(u"<div><svg>\n <g>\n\n"_s, style), u"<DIV>\n<svg>\n <g>\n"_s);
    const FormatterStyle plain = StyleFromIni(u"[DIV]\nTagOpen=<DIV>\n"_s);
    EXPECT_EQ(FormatLf(u"<svg>\n  <g>  x</g>\n</svg>"_s, plain),
              u"<SVG>\n<G>\nx\n</G>\n</SVG>\n"_s);
}

TEST(StyleReader, DoctypeAsWrittenKeepsTheCaseOfDeclarationsOnly) {
    const QString page = u"<!DOCTYPE html>\n<Body>x</Body>"_s;
    EXPECT_EQ(FormatLf(page, StyleFromIni(u"[OPTIONS]\nTagCase=2\nDoctypeAsWritten=1\n"_s)),
              u"<!DOCTYPE html>\n<body>\nx\n</body>\n"_s);
    EXPECT_EQ(FormatLf(page, StyleFromIni(u"[OPTIONS]\nTagCase=2\n"_s)),
              u"<!doctype html>\n<body>\nx\n</body>\n"_s);
}

} // namespace
} // namespace velmora
