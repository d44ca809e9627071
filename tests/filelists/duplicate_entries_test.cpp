#include "filelists/duplicate_entries.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

class DuplicateEntries : public ::testing::Test {
protected:
    const QLocale english{QLocale::English, QLocale::UnitedStates};
};

TEST_F(DuplicateEntries, KeepsTheLineThatSortsFirstAsText) {
    QStringList lines{u"/A/*x*.htm*99*1999-01-01  10:00"_s, u"/A/*x*.htm*100*2001-01-01  10:00"_s};
    RemoveDuplicateEntries(lines, english);
    EXPECT_EQ(lines, QStringList{u"/A/*x*.htm*100*2001-01-01  10:00"_s});
}

TEST_F(DuplicateEntries, KeepsLetterCaseVariantsAndDropsEmptyPaths) {
    QStringList lines{u"/A/*x*.htm*1*2000-01-01  00:00"_s, QString(),
                      u"/a/*x*.htm*1*2000-01-01  00:00"_s, u"****"_s};
    RemoveDuplicateEntries(lines, english);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.contains(u"/A/*x*.htm*1*2000-01-01  00:00"_s));
    EXPECT_TRUE(lines.contains(u"/a/*x*.htm*1*2000-01-01  00:00"_s));
}

TEST_F(DuplicateEntries, RemovesARepeatedPathSeparatedByACaseVariant) {
    // Sorted without regard to case, the two "/A/" lines can have "/a/"
    // between them; the repeated path must still go.
    QStringList lines{u"/A/*x*.htm*1*d"_s, u"/a/*x*.htm*1*d"_s, u"/A/*x*.htm*2*d"_s};
    RemoveDuplicateEntries(lines, english);
    EXPECT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.count(u"/A/*x*.htm*1*d"_s), 1);
    EXPECT_EQ(lines.count(u"/a/*x*.htm*1*d"_s), 1);
}

TEST_F(DuplicateEntries, SortsByTheLocaleWithoutRegardToCase) {
    QStringList lines{u"/w/*Zeta*.htm*1*d"_s, u"/w/*alpha*.htm*1*d"_s, u"/w/*Beta*.htm*1*d"_s};
    RemoveDuplicateEntries(lines, english);
    EXPECT_EQ(lines, (QStringList{u"/w/*alpha*.htm*1*d"_s, u"/w/*Beta*.htm*1*d"_s,
                                  u"/w/*Zeta*.htm*1*d"_s}));
}
