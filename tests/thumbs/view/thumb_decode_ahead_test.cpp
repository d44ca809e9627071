// Thumbnails decoded ahead on a second thread: the picture handed over is the
// one the cache's own decoder would give, and a thumbnail made again since
// it was decoded is decoded anew.
#include "pictures/jpeg_codec.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/view/thumb_decode_ahead.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

QString WriteThumb(const QTemporaryDir &dir, const QString &name, QColor colour) {
    QImage picture(130, 100, QImage::Format_RGB32);
    picture.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(SaveJpeg(picture, kThumbnailQuality, path));
    return path;
}

Picture Decoded(const QString &path) {
    Picture picture;
    EXPECT_TRUE(ThumbnailCache::DecodeThumbnailFile(path, &picture));
    return picture;
}

TEST(ThumbDecodeAhead, HandsOverWhatTheCacheWouldDecodeOnce) {
    QTemporaryDir dir;
    const QString a = WriteThumb(dir, u"a.jpg"_s, Qt::red);
    const QString b = WriteThumb(dir, u"b.jpg"_s, Qt::blue);
    ThumbDecodeAhead ahead;
    ahead.Request({a, b, dir.filePath(u"missing.jpg"_s)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ahead.IsReady(a) && ahead.IsReady(b); }, 5000));
    Picture picture;
    ASSERT_TRUE(ahead.Take(b, &picture));
    EXPECT_EQ(picture, Decoded(b));
    EXPECT_FALSE(ahead.Take(b, &picture)); // handed over once
    ASSERT_TRUE(ahead.Take(a, &picture));
    EXPECT_EQ(picture, Decoded(a));
    EXPECT_FALSE(ahead.Take(dir.filePath(u"missing.jpg"_s), &picture));
}

TEST(ThumbDecodeAhead, AThumbnailMadeAgainIsDecodedAnew) {
    QTemporaryDir dir;
    const QString a = WriteThumb(dir, u"a.jpg"_s, Qt::red);
    ThumbDecodeAhead ahead;
    ahead.Request({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ahead.IsReady(a); }, 5000));
    WriteThumb(dir, u"a.jpg"_s, Qt::green);
    QFile file(a);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
    file.close();
    Picture picture;
    ASSERT_TRUE(ahead.Decode(a, &picture));
    EXPECT_EQ(picture, Decoded(a));
    EXPECT_NE(picture, Decoded(WriteThumb(dir, u"red.jpg"_s, Qt::red)));
}

} // namespace
