#include "foundation/file_masks.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

TEST(FileMask, MatchesPatternsWithoutRegardToCase) {
    const FileMask mask(u"*.htm;*.jpg; *.GIF"_s);
    for (const QString &yes : {u"index.htm"_s, u"INDEX.HTM"_s, u"pic.Jpg"_s, u"a.gif"_s})
        EXPECT_TRUE(mask.Matches(yes)) << yes.toStdString();
    for (const QString &no : {u"index.txt"_s, u"htm"_s, u"a.jp"_s, u"a.htm.bak"_s})
        EXPECT_FALSE(mask.Matches(no)) << no.toStdString();
}

TEST(FileMask, ThreeCharacterExtensionsAlsoMatchLongerOnes) {
    EXPECT_TRUE(MatchesMask(u"index.html"_s, u"*.htm"_s));
    EXPECT_TRUE(MatchesMask(u"c.htm5"_s, u"*.htm"_s));
    EXPECT_TRUE(MatchesMask(u"page.shtml"_s, u"*.sht"_s));
    EXPECT_TRUE(MatchesMask(u"page.JHTML"_s, u"*.jht"_s));
    EXPECT_FALSE(MatchesMask(u"page.xhtml"_s, u"*.htm"_s));
    // Only three-character extensions extend: "*.ht" does not match .htm.
    EXPECT_FALSE(MatchesMask(u"index.htm"_s, u"*.ht"_s));
    EXPECT_FALSE(MatchesMask(u"index.html"_s, u"*.html5"_s));
}

TEST(FileMask, HandlesWildcardsEverywhere) {
    EXPECT_TRUE(MatchesMask(u"page1.htm"_s, u"page?.htm"_s));
    EXPECT_FALSE(MatchesMask(u"page12.htm"_s, u"page?.htm"_s));
    EXPECT_TRUE(MatchesMask(u"abcabcabd"_s, u"*abc*abd"_s));
    EXPECT_TRUE(MatchesMask(u"README"_s, u"*.*"_s));
    EXPECT_TRUE(MatchesMask(u"anything"_s, u"*"_s));
    EXPECT_TRUE(MatchesMask(u"a.txt"_s, u"*.jpg;;*.txt"_s));
    EXPECT_FALSE(MatchesMask(u"a.txt"_s, u""_s));
    EXPECT_FALSE(MatchesMask(u"a.txt"_s, u";"_s));
    // Long runs of stars stay fast (no exponential backtracking).
    EXPECT_FALSE(MatchesWildcard(QString(40, u'*') + u"b"_s, QString(5000, u'a')));
}

TEST(FileMask, ComparesNonAsciiLettersWithoutCase) {
    EXPECT_TRUE(MatchesMask(u"ÄRGER.HTM"_s, u"ärger.*"_s));
}
