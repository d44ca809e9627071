#include "sitewalk/file_entry.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

TEST(FileEntry, SplitsNamesAtTheFinalDot) {
    const struct {
        QString name, filename, ext;
    } cases[] = {
        {u"index.html"_s, u"index"_s, u".html"_s},   {u"a.b.c"_s, u"a.b"_s, u".c"_s},
        {u"x.b.c.b"_s, u"x.b.c"_s, u".b"_s},         {u"README"_s, u"README"_s, QString()},
        {u".htaccess"_s, QString(), u".htaccess"_s}, {u"trail."_s, u"trail"_s, u"."_s},
    };
    for (const auto &c : cases) {
        const NameParts parts = SplitFileName(c.name);
        EXPECT_EQ(parts.filename, c.filename) << c.name.toStdString();
        EXPECT_EQ(parts.ext, c.ext) << c.name.toStdString();
        EXPECT_EQ(parts.filename + parts.ext, c.name);
    }
}

TEST(FileEntry, ReadsFieldsByPosition) {
    const FileEntry shortLine = ParseEntryLine(u"/a/*x");
    EXPECT_EQ(shortLine, (FileEntry{u"/a/"_s, u"x"_s, {}, {}, {}}));
    EXPECT_EQ(EntryLinePath(u"/a/*x"), u"/a/x"_s);

    const FileEntry extra = ParseEntryLine(u"/w/*index*.htm*2048*1999-08-15  09:05*junk*more");
    EXPECT_EQ(extra,
              (FileEntry{u"/w/"_s, u"index"_s, u".htm"_s, u"2048"_s, u"1999-08-15  09:05"_s}));
    EXPECT_EQ(extra.Line(), u"/w/*index*.htm*2048*1999-08-15  09:05"_s);

    EXPECT_EQ(ParseEntryLine(u""), FileEntry{});
    EXPECT_EQ(EntryLinePath(u""), QString());
}

TEST(FileEntry, MakesLinesFromFoundFiles) {
    const QDateTime local(QDate(1999, 8, 15), QTime(9, 5, 59));
    const FoundEntry found{u"index.htm"_s, 2048, std::time_t(local.toSecsSinceEpoch())};
    // Seconds are dropped, not rounded; the folder gets exactly one separator.
    EXPECT_EQ(MakeEntryLine(u"/web/site//"_s, found),
              u"/web/site/*index*.htm*2048*1999-08-15  09:05"_s);
    // Sizes past 32 bits are kept whole.
    EXPECT_EQ(MakeEntryLine(u"/w"_s, {u"big.iso"_s, 5'000'000'000LL, found.modified}),
              u"/w/*big*.iso*5000000000*1999-08-15  09:05"_s);
}

TEST(FileEntry, LeavesOutNamesAnEntryLineCannotHold) {
    const FoundEntry star{u"a*b.htm"_s, 1, 0};
    const FoundEntry lineBreak{u"a\nb.htm"_s, 1, 0};
    EXPECT_TRUE(MakeEntryLine(u"/w/"_s, star).isEmpty());
    EXPECT_TRUE(MakeEntryLine(u"/w/"_s, lineBreak).isEmpty());
    EXPECT_TRUE(MakeEntryLine(u"/w\r/"_s, {u"ok.htm"_s, 1, 0}).isEmpty());
    EXPECT_FALSE(MakeEntryLine(u"/w/"_s, {u"ok.htm"_s, 1, 0}).isEmpty());
}

TEST(FileEntry, KnowsDefaultPageNames) {
    for (const QString &yes : {u"index"_s, u"Index"_s, u"DEFAULT"_s, u"start"_s, u"WeLcOmE"_s})
        EXPECT_TRUE(IsDefaultPageName(yes)) << yes.toStdString();
    for (const QString &no : {u"index2"_s, u"welcome-old"_s, u"index.htm"_s, QString()})
        EXPECT_FALSE(IsDefaultPageName(no)) << no.toStdString();
}
