// Which pages the batch command takes from the folders it is given.

#include "foundation/filter_definition.h"
#include "sitewalk/page_collector.h"
#include "temp_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

TEST(PageCollectorTest, FirstFilterOfTheDefinition) {
    EXPECT_EQ(FirstFilterMask(u"All|*.htm;*.jpg|Only|*.htm"_s), u"*.htm;*.jpg"_s);
    EXPECT_EQ(FirstFilterMask(u"All| |Only|*.htm"_s), u"*.*"_s);
    EXPECT_EQ(FirstFilterMask(QString()), u"*.*"_s);
    // The mask as the folder view's filter box holds it, blanks included.
    EXPECT_EQ(FirstFilterMask(u"Pages| *.htm ;*.asp"_s), u" *.htm ;*.asp"_s);
    EXPECT_EQ(FirstFilterMask(u"Only a name"_s), u"*.*"_s);
}

// Only regular files are pages: a folder or a FIFO named like a page is not
// (a FIFO would block the capture that opens it), in a folder and below it;
// the pages of a deeper tree come in name order, folder by folder.
TEST(PageCollectorTest, OnlyRegularFilesAndInNameOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString site = dir.filePath(u"site"_s);
    for (const QString &name : {u"site/z.htm"_s, u"site/B/y.htm"_s, u"site/a/x.htm"_s,
                                u"site/a/B.htm"_s, u"site/a/c/w.htm"_s, u"site/box.htm/v.htm"_s})
        WriteBytes(dir.filePath(name), {});
    ASSERT_EQ(::mkfifo(QFile::encodeName(site + u"/pipe.htm"_s).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(site + u"/a/pipe.htm"_s).constData(), 0600), 0);

    EXPECT_EQ(CollectPages({site}, u"*.htm"_s, false, {}).pages, QStringList{site + u"/z.htm"_s});
    EXPECT_EQ(CollectPages({site}, u"*.htm"_s, true, {}).pages,
              (QStringList{site + u"/a/B.htm"_s, site + u"/a/c/w.htm"_s, site + u"/a/x.htm"_s,
                           site + u"/B/y.htm"_s, site + u"/box.htm/v.htm"_s, site + u"/z.htm"_s}));
}

TEST(PageCollectorTest, FoldersGiveTheirPagesByTheSearchRules) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto touch = [&](const QString &name) { WriteBytes(dir.filePath(name), {}); };
    for (const QString &name :
         {u"site/b.htm"_s, u"site/A.html"_s, u"site/pic.jpg"_s, u"site/.hidden.htm"_s,
          u"site/sub/c.asp"_s, u"site/_vti_cnf/d.htm"_s, u"site/.git/e.htm"_s,
          u"site/THUMBS/f.htm"_s, u"site/THUMBS/x/g.htm"_s})
        touch(name);
    ASSERT_TRUE(QFile::link(dir.filePath(u"site"_s), dir.filePath(u"site/sub/loop"_s)));
    const QString site = dir.filePath(u"site"_s);
    const QString thumbDir = site + u"/THUMBS/"_s;

    const CollectedPages flat = CollectPages({site}, u"*.htm;*.asp"_s, false, thumbDir);
    EXPECT_EQ(flat.pages, (QStringList{site + u"/A.html"_s, site + u"/b.htm"_s}));

    const CollectedPages deep =
        CollectPages({site, dir.filePath(u"none"_s)}, u"*.htm;*.asp"_s, true, thumbDir);
    EXPECT_EQ(deep.pages, (QStringList{site + u"/A.html"_s, site + u"/b.htm"_s,
                                       site + u"/sub/c.asp"_s, site + u"/THUMBS/f.htm"_s}));
    EXPECT_EQ(deep.problems, QStringList{dir.filePath(u"none"_s)});

    // A file named directly is taken whatever its extension.
    EXPECT_EQ(CollectPages({site + u"/pic.jpg"_s}, u"*.htm"_s, false, thumbDir).pages,
              QStringList{site + u"/pic.jpg"_s});
}

} // namespace
} // namespace velmora::testing
