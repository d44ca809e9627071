#include "foundation/text_utils.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

TEST(TextUtils, TrimmingAndBlanks) {
    EXPECT_EQ(TrimSpaces(u"  a b \t "_s), u"a b \t"_s); // only blanks count, not tabs
    EXPECT_EQ(CollapseBlanks(u"\t  x   "_s), u" x "_s);
    EXPECT_EQ(CollapseBlanks(u""_s), u""_s);
    EXPECT_TRUE(IsBlank(u""_s));
    EXPECT_TRUE(IsBlank(u" \t\r\n"_s));
    EXPECT_FALSE(IsBlank(u" x"_s));
    EXPECT_EQ(TrimCharLeft(u"***a*"_s, u'*'), u"a*"_s);
    EXPECT_EQ(TrimCharRight(u"/"_s, u'/'), u""_s);
}

TEST(TextUtils, CharacterClasses) {
    EXPECT_EQ(ToLowerChar(QChar(0xC4)), QChar(0xE4));
    EXPECT_EQ(ToLowerChar(QChar(0xDC)), QChar(0xFC));
    EXPECT_EQ(ToLowerChar(QChar(0xC9)), QChar(0xC9)); // other accented letters stay
    EXPECT_TRUE(IsAlphaNum(u'z'));
    EXPECT_FALSE(IsAlphaNum(QChar(0xE4)));
    EXPECT_FALSE(IsAlphaNum(u'_'));
    EXPECT_TRUE(StartsWithTag(u"<p>"_s));
    EXPECT_FALSE(StartsWithTag(u""_s));
}

TEST(TextUtils, NormalizeTag) {
    EXPECT_EQ(NormalizeTag(u"<  b >  "_s), u"<b> "_s);
    EXPECT_EQ(NormalizeTag(u"b"_s), u"<b>"_s);
    EXPECT_EQ(NormalizeTag(u"<<i>>"_s), u"<i>"_s);
    EXPECT_EQ(NormalizeTag(u""_s), u""_s);
}

TEST(TextUtils, SetWordCase) {
    QString s = u"<td class=x>"_s;
    SetWordCase(s, 2, 1);
    EXPECT_EQ(s, u"<TD class=x>"_s);
    QString u = u"<\u00C4B>"_s;
    SetWordCase(u, 2, 2);
    EXPECT_EQ(u, u"<\u00E4b>"_s);
    QString beyond = u"<a>"_s;
    SetWordCase(beyond, 9, 1);
    SetWordCase(beyond, 1, 3);
    EXPECT_EQ(beyond, u"<a>"_s);
    QString quoted = u"abc\"def"_s;
    SetWordCase(quoted, 1, 1);
    EXPECT_EQ(quoted, u"ABC\"def"_s);
}

TEST(TextUtils, PosFromCountsInTheWholeString) {
    EXPECT_EQ(PosFrom(u"td"_s, u"<TD><td>"_s, 1), 2);
    EXPECT_EQ(PosFrom(u"td"_s, u"<TD><td>"_s, 3), 6);
    EXPECT_EQ(PosFrom(u"td"_s, u"<TD><td>"_s, 7), 0);
    EXPECT_EQ(PosFrom(u""_s, u"abc"_s, 1), 0);
    EXPECT_EQ(PosFrom(u"abcd"_s, u"abc"_s, 1), 0);
}

TEST(TextUtils, ExtractField) {
    EXPECT_EQ(ExtractField(u"a;b;;d"_s, u';', 2), u""_s);
    EXPECT_EQ(ExtractField(u"a;b;;d"_s, u';', 3), u"d"_s);
    EXPECT_EQ(ExtractField(u"a;b;;d"_s, u';', 4), u""_s);
    EXPECT_EQ(ExtractField(u"a;b;;d"_s, u';', 0), u"a"_s);
    EXPECT_EQ(ExtractField(u"f*n*e"_s, u'*', 1), u"n"_s);
}

TEST(TextUtils, ReplaceAll) {
    QString a = u"Dir/Sub/Page.htm"_s;
    ReplaceAll(a, u".HTM"_s, u"_"_s);
    EXPECT_EQ(a, u"Dir/Sub/Page_"_s);
    QString b = u"/a/b"_s;
    ReplaceAll(b, u"/"_s, u"="_s);
    EXPECT_EQ(b, u"=a=b"_s);
    // No overlaps, replacements are not searched again, case kept elsewhere.
    QString c = u"aAaA-Xa"_s;
    ReplaceAll(c, u"aa"_s, u"a"_s);
    EXPECT_EQ(c, u"aa-Xa"_s);
    QString d = u"abc"_s;
    ReplaceAll(d, u""_s, u"x"_s);
    EXPECT_EQ(d, u"abc"_s);
    QString e = u"\u00E4x\u00C4"_s; // locale upper case matches umlauts too
    ReplaceAll(e, u"\u00E4"_s, u"-"_s);
    EXPECT_EQ(e, u"-x-"_s);
    QString f = u"Stra\u00DFe/Strasse"_s; // sharp s grows in upper case
    ReplaceAll(f, u"e"_s, u"E"_s);
    EXPECT_EQ(f, u"Stra\u00DFE/StrassE"_s);
}

TEST(TextUtils, NextCounter) {
    EXPECT_EQ(NextCounter(u"###<TD>"_s, u"###<TD>:41"_s), u"###<TD>:42"_s);
    EXPECT_EQ(NextCounter(u"p"_s, u"7"_s), u"p:8"_s);
    EXPECT_THROW(NextCounter(u"p"_s, u"x:abc"_s), ConversionError);
    EXPECT_THROW(NextCounter(u"p"_s, u"x:"_s), ConversionError);
}
