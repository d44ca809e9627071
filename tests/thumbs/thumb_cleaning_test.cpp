#include "temp_files.h"
#include "thumbs/thumb_cleaning.h"
#include "thumbs/thumbnail_names.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::testing::WriteBytes;

namespace {

class ThumbCleaningTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString site = dir.path() + u"/site/"_s;
    QString odd = dir.path() + u"/a=b/"_s;
    QString thumbDir = dir.path() + u"/prog/THUMBS/"_s;
    QStringList work;

    QString Thumb(const QString &folder, const QString &page) {
        const QString path = ThumbFileName(thumbDir, folder, page);
        WriteBytes(path, "jpeg");
        return path;
    }

    void SetUp() override {
        WriteBytes(site + u"kept.htm"_s, "page");
        WriteBytes(odd + u"x.htm"_s, "page");
        QDir().mkpath(thumbDir);
    }
};

} // namespace

TEST_F(ThumbCleaningTest, RemovesExactlyTheOrphans) {
    const QString kept = Thumb(site, u"kept.htm"_s);
    const QString gone = Thumb(site, u"gone.htm"_s);
    // A page folder holding '=' does not map back to itself: its thumbnail
    // counts as an orphan although the page exists.
    const QString equals = Thumb(odd, u"x.htm"_s);
    const QString lonely = Thumb(dir.path() + u"/vanished/"_s, u"p.htm"_s);
    WriteBytes(thumbDir + u"=notes/readme.txt"_s, "not a thumbnail");

    const ThumbCleaning result = RemoveThumbs(thumbDir, false, work);
    EXPECT_EQ(result.found, 4);
    EXPECT_EQ(result.removed, 3);
    EXPECT_EQ(work.size(), 4);
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(QFile::exists(equals));
    // The emptied subfolders go, the others and the thumbnail folder stay.
    EXPECT_FALSE(QFileInfo::exists(lonely.left(lonely.lastIndexOf(u'/'))));
    EXPECT_FALSE(QFileInfo::exists(thumbDir + ThumbFolderName(odd)));
    EXPECT_TRUE(QFileInfo::exists(thumbDir + ThumbFolderName(site)));
    EXPECT_TRUE(QFileInfo::exists(thumbDir + u"=notes/readme.txt"_s));
    EXPECT_TRUE(QFileInfo(thumbDir).isDir());
    EXPECT_EQ(ThumbCleaningMessage(result, false),
              u"4 thumbnails found.\n\n3 orphaned thumbnails removed."_s);
}

TEST_F(ThumbCleaningTest, RemoveAllTakesEveryJpegButNothingOutsideTheFolder) {
    Thumb(site, u"kept.htm"_s);
    WriteBytes(thumbDir + u"stray.JPG"_s, "x");
    // A link out of the thumbnail folder must not lead the cleaning to the
    // user's own pictures.
    WriteBytes(dir.path() + u"/photos/holiday.jpg"_s, "precious");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path() + u"/photos"_s).constData(),
                        QFile::encodeName(thumbDir + u"=photos"_s).constData()),
              0);
    const ThumbCleaning result = RemoveThumbs(thumbDir, true, work);
    EXPECT_EQ(result.removed, 2);
    EXPECT_EQ(ThumbCleaningMessage(result, true), u"2 thumbnails removed."_s);
    EXPECT_TRUE(QFile::exists(dir.path() + u"/photos/holiday.jpg"_s));
    EXPECT_FALSE(QFileInfo::exists(thumbDir + ThumbFolderName(site)));
    EXPECT_TRUE(QFileInfo(thumbDir).isDir());
}

TEST_F(ThumbCleaningTest, AnEmptyOrMissingFolderCountsNothing) {
    EXPECT_EQ(ThumbCleaningMessage(RemoveThumbs(thumbDir, false, work), false),
              u"0 thumbnails found.\n\n0 orphaned thumbnails removed."_s);
    const ThumbCleaning missing = RemoveThumbs(dir.path() + u"/none/"_s, true, work);
    EXPECT_EQ(missing.found, 0);
    EXPECT_EQ(missing.removed, 0);
}

TEST_F(ThumbCleaningTest, AThumbnailThatResistsDeletionIsNotCountedAsRemoved) {
    Thumb(site, u"a.htm"_s);
    Thumb(site, u"b.htm"_s);
    int attempts = 0;
    const auto refuseFirst = [&](const QString &path) {
        return ++attempts == 1 ? false : UnlinkThumbnail(path);
    };
    const ThumbCleaning result = RemoveThumbs(thumbDir, true, work, {}, refuseFirst);
    EXPECT_EQ(result.found, 2);
    EXPECT_EQ(result.removed, 1);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(ThumbCleaningMessage(result, true),
              u"1 thumbnails removed.\n\n1 thumbnails could not be deleted."_s);
}
