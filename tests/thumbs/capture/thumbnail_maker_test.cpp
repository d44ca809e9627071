// Making and clearing thumbnails: every base size gives a 130 x 100 JPEG at
// the page's thumbnail path, a cached copy follows, and failures leave the
// thumbnail folder as it was.

#include "capture_fixture.h"
#include "pictures/jpeg_codec.h"
#include "scripted_prompts.h"
#include "temp_files.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "thumbs/thumbnail_names.h"
#include "thumbs/thumbnail_store.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class ThumbnailMakerTest : public CaptureFixture {
protected:
    ThumbnailMakerTest()
        : thumbDir(dir.filePath(u"prog/THUMBS/"_s)), store(thumbDir, 200), cache(store.Cache()),
          maker(capture, store, prompts,
                [this](const QString &) { return std::optional<qint64>(freeBytes); }) {}

    Picture LoadThumb(const QString &path) {
        Picture picture;
        QString error;
        EXPECT_TRUE(LoadJpeg(path, &picture, &error, {.quantize = false})) << error.toStdString();
        return picture;
    }

    QString thumbDir;
    ThumbnailStore store;
    ThumbnailCache &cache;
    ScriptedPrompts prompts;
    qint64 freeBytes = qint64(1) << 40;
    ThumbnailMaker maker;
};

TEST_F(ThumbnailMakerTest, EveryBaseSizeGivesA130By100Jpeg) {
    QDir(dir.path()).mkpath(u"site/sub"_s);
    const QString page = BlockPage(u"site/sub/index.htm"_s, "#00ff00", "#ff0000");
    const QString thumbPath = ThumbFileName(thumbDir, dir.filePath(u"site/sub"_s), u"index.htm"_s);
    const QSize bases[] = {{160, 120}, {320, 240},  {480, 360},  {640, 480},
                           {800, 600}, {1024, 768}, {1600, 1200}};
    for (int index = 0; index < int(std::size(bases)); ++index) {
        maker.CBSnapBaseChange(index);
        QFile::remove(thumbPath);
        QString error;
        ASSERT_TRUE(maker.MakeThumbnail(page, &error)) << index << ": " << error.toStdString();
        EXPECT_EQ(maker.Base(), bases[index]);
        const Picture thumb = LoadThumb(thumbPath);
        ASSERT_EQ(thumb.size(), QSize(130, 100)) << index;
        // The green page shows green away from the block and the scroll bars
        // of the small bases (JPEG is lossy).
        const QColor corner = thumb.pixelColor(2, 50);
        EXPECT_LT(corner.red(), 40) << index << " " << corner.name().toStdString();
        EXPECT_GT(corner.green(), 215) << index;
    }
    EXPECT_EQ(store.ThumbPathOf(page), thumbPath);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// At start-up the base size is 0 x 0; a stored index outside the table keeps
// it so, and every attempt then fails without a thumbnail.
TEST_F(ThumbnailMakerTest, BaseIndexOutsideTheTableMakesNoThumbnail) {
    const QString page = BlockPage(u"p.htm"_s, "#fff", "#000");
    for (int index : {-1, 7, 1000}) {
        maker.CBSnapBaseChange(index);
        QString error;
        EXPECT_FALSE(maker.MakeThumbnail(page, &error)) << index;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(maker.BaseIndex(), index);
        EXPECT_EQ(maker.Base(), QSize(0, 0));
    }
    EXPECT_FALSE(QFileInfo::exists(store.ThumbPathOf(page)));
    EXPECT_FALSE(maker.MakeThumbnail(dir.filePath(u"missing.htm"_s)));
}

TEST_F(ThumbnailMakerTest, RemakeRefreshesTheCacheAndClearRemovesIt) {
    const QString page = BlockPage(u"p.htm"_s, "#0000ff", "#0000ff");
    maker.CBSnapBaseChange(0);
    ASSERT_TRUE(maker.MakeThumbnail(page));
    const QString thumbPath = store.ThumbPathOf(page);
    cache.LoadCachedThumb(thumbPath);
    const int slot = cache.FindCachedThumb(thumbPath);
    ASSERT_GE(slot, 0);
    EXPECT_GT(cache.SlotPicture(slot).pixelColor(65, 50).blue(), 200);

    BlockPage(u"p.htm"_s, "#ffff00", "#ffff00");
    ASSERT_TRUE(maker.MakeThumbnail(page));
    EXPECT_EQ(cache.FindCachedThumb(thumbPath), slot);
    EXPECT_LT(cache.SlotPicture(slot).pixelColor(65, 50).blue(), 60);

    ASSERT_TRUE(maker.ClearThumbnail(page));
    EXPECT_FALSE(QFileInfo::exists(thumbPath));
    EXPECT_EQ(cache.FindCachedThumb(thumbPath), -1);
    // Clearing again, or a page that never had a thumbnail, does nothing.
    EXPECT_TRUE(maker.ClearThumbnail(page));
    EXPECT_TRUE(maker.ClearThumbnail(dir.filePath(u"never.htm"_s)));
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// A failed remake (here the page now hangs) leaves the older thumbnail.
TEST_F(ThumbnailMakerTest, FailedRemakeKeepsTheOldThumbnail) {
    const QString page = BlockPage(u"p.htm"_s, "#ff0000", "#ff0000");
    maker.CBSnapBaseChange(0);
    ASSERT_TRUE(maker.MakeThumbnail(page));
    const QString thumbPath = store.ThumbPathOf(page);
    const QByteArray before = [&] {
        QFile f(thumbPath);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Write(u"p.htm"_s, "<body><script>while (true) {}</script>");
    capture.SetTimeLimit(1000);
    QString error;
    EXPECT_FALSE(maker.MakeThumbnail(page, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile after(thumbPath);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

// Links planted in the thumbnail folder, in the place of a thumbnail or of
// its subfolder, are replaced; what they point at is never written.
TEST_F(ThumbnailMakerTest, LinksInTheThumbnailFolderAreReplacedNotWrittenThrough) {
    const QString page = BlockPage(u"p.htm"_s, "#00ff00", "#00ff00");
    maker.CBSnapBaseChange(0);
    const QString thumbPath = store.ThumbPathOf(page);
    const QString subfolder = QFileInfo(thumbPath).path();
    ASSERT_TRUE(QDir().mkpath(subfolder));
    const QString victim = Write(u"victim.txt"_s, "precious");
    ASSERT_TRUE(QFile::link(victim, thumbPath));
    ASSERT_TRUE(maker.MakeThumbnail(page));
    EXPECT_FALSE(QFileInfo(thumbPath).isSymLink());
    EXPECT_EQ(LoadThumb(thumbPath).size(), QSize(130, 100));
    EXPECT_EQ(ReadBytes(victim), QByteArray("precious"));

    // The subfolder itself a link to a folder outside.
    ASSERT_TRUE(QDir(subfolder).removeRecursively());
    QDir(dir.path()).mkdir(u"outside"_s);
    ASSERT_TRUE(QFile::link(dir.filePath(u"outside"_s), subfolder));
    ASSERT_TRUE(maker.MakeThumbnail(page));
    EXPECT_FALSE(QFileInfo(subfolder).isSymLink());
    EXPECT_TRUE(QFileInfo(thumbPath).isFile());
    EXPECT_TRUE(QDir(dir.filePath(u"outside"_s)).isEmpty());
}

TEST_F(ThumbnailMakerTest, ShortOfSpaceIsReportedOnce) {
    freeBytes = 1999999;
    EXPECT_FALSE(maker.HasRoomForThumbnail());
    ASSERT_EQ(prompts.calls.size(), 1);
    EXPECT_TRUE(prompts.calls[0].text.contains(u"Process stopped."_s));
    freeBytes = 2000000;
    EXPECT_TRUE(maker.HasRoomForThumbnail());
    EXPECT_EQ(prompts.calls.size(), 1);
}

} // namespace
} // namespace velmora::testing
