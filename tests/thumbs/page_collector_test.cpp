// Which pages the batch command takes from the folders it is given.

#include "page_collector.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

TEST(PageCollectorTest, MaskRulesOfTheFolderViewAndTheSearch) {
    const QString mask = u"*.htm;*.asp"_s;
    for (const QString &name : {u"a.htm"_s, u"B.HTML"_s, u"c.htm5"_s, u"d.aspx"_s})
        EXPECT_TRUE(MatchesFileMask(name, mask)) << name.toStdString();
    for (const QString &name : {u"a.ht"_s, u"a.htx"_s, u"htm"_s, u"a.htm.bak"_s})
        EXPECT_FALSE(MatchesFileMask(name, mask)) << name.toStdString();
    EXPECT_TRUE(MatchesFileMask(u"page.shtml"_s, u"*.sht"_s));
    EXPECT_TRUE(MatchesFileMask(u"x"_s, u"*.*"_s) || MatchesFileMask(u"x.y"_s, u"*.*"_s));

    for (const QString &name :
         {u"page.htm"_s, u"PAGE.HTML"_s, u"page.htmx"_s, u"x.h"_s, u"x.ht"_s, u"x.a"_s, u"y.as"_s})
        EXPECT_TRUE(HasAllowedExtension(name, mask)) << name.toStdString();
    for (const QString &name : {u"page.htx"_s, u"image.jpeg"_s, u"README"_s, u"dot."_s})
        EXPECT_FALSE(HasAllowedExtension(name, mask)) << name.toStdString();

    EXPECT_EQ(FirstFilterMask(u"All|*.htm;*.jpg|Only|*.htm"_s), u"*.htm;*.jpg"_s);
    EXPECT_EQ(FirstFilterMask(QString()), u"*.*"_s);
}

TEST(PageCollectorTest, FoldersGiveTheirPagesByTheSearchRules) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto touch = [&](const QString &name) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).absolutePath());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
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
