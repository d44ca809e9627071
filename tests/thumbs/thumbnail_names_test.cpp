#include "thumbs/thumbnail_names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

const QString kThumbDir = u"/opt/viewer/THUMBS/"_s;

TEST(ThumbnailNames, FolderNameWithAndWithoutTrailingSeparator) {
    EXPECT_EQ(ThumbFolderName(u"/home/u/web/site"_s), u"=home=u=web=site/"_s);
    EXPECT_EQ(ThumbFolderName(u"/home/u/web/site/"_s), u"=home=u=web=site/"_s);
    EXPECT_EQ(ThumbFolderName(u"/home/u/web/site//"_s), u"=home=u=web=site/"_s);
    EXPECT_EQ(ThumbFolderName(u"/"_s), u"=/"_s);
}

TEST(ThumbnailNames, FileNameTakesOnlyTheLastPathPart) {
    EXPECT_EQ(ThumbFileName(kThumbDir, u"/home/u/web/site"_s, u"index.htm"_s),
              u"/opt/viewer/THUMBS/=home=u=web=site/index.htm.jpg"_s);
    // Callers also pass the folder part of a full path together with the path.
    EXPECT_EQ(ThumbFileName(kThumbDir, u"/home/u/web/site/"_s, u"/home/u/web/site/index.htm"_s),
              u"/opt/viewer/THUMBS/=home=u=web=site/index.htm.jpg"_s);
    EXPECT_EQ(ThumbFileName(kThumbDir, u"/"_s, u"home.html"_s),
              u"/opt/viewer/THUMBS/=/home.html.jpg"_s);
    // A colon is an ordinary character in names here.
    EXPECT_EQ(ThumbFileName(kThumbDir, u"/w"_s, u"a:b.htm"_s),
              u"/opt/viewer/THUMBS/=w/a:b.htm.jpg"_s);
}

TEST(ThumbnailNames, PageFromThumbNameRoundTrips) {
    for (const auto &[folder, page] :
         {std::pair{u"/home/u/web/site"_s, u"index.htm"_s}, std::pair{u"/"_s, u"home.html"_s},
          std::pair{u"/a b/c.d/"_s, u"x y.shtml"_s}}) {
        const QString thumb = ThumbFileName(kThumbDir, folder, page);
        EXPECT_EQ(PageFromThumbName(kThumbDir, thumb), QDir::cleanPath(folder + u'/' + page))
            << thumb.toStdString();
    }
    // The thumbnail folder is removed without regard to letter case.
    EXPECT_EQ(PageFromThumbName(kThumbDir, u"/opt/viewer/thumbs/=/home.html.jpg"_s),
              u"/home.html"_s);
}

TEST(ThumbnailNames, EqualsSignsDoNotMapBack) {
    const QString thumb = ThumbFileName(kThumbDir, u"/a=b"_s, u"x.htm"_s);
    EXPECT_EQ(thumb, u"/opt/viewer/THUMBS/=a=b/x.htm.jpg"_s);
    EXPECT_EQ(PageFromThumbName(kThumbDir, thumb), u"/a/b/x.htm"_s);
}

TEST(ThumbnailNames, ExistenceTestLooksForAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString thumbDir = dir.path() + u"/THUMBS/"_s;
    EXPECT_FALSE(HasThumbnail(thumbDir, u"/w/site"_s, u"a.htm"_s));
    ASSERT_TRUE(QDir().mkpath(thumbDir + u"=w=site"_s));
    QFile file(ThumbFileName(thumbDir, u"/w/site"_s, u"a.htm"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(HasThumbnail(thumbDir, u"/w/site/"_s, u"a.htm"_s));
    // A folder of that name is no thumbnail.
    ASSERT_TRUE(QDir().mkpath(ThumbFileName(thumbDir, u"/w/site"_s, u"b.htm"_s)));
    EXPECT_FALSE(HasThumbnail(thumbDir, u"/w/site"_s, u"b.htm"_s));
}

} // namespace
} // namespace velmora
