#include "foundation/settings.h"
#include "pictures/jpeg_codec.h"
#include "thumbs/thumbnail_cache.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

class ThumbnailCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path() + u"/THUMBS/=w=site/"_s;
        ASSERT_TRUE(QDir().mkpath(folder_));
    }

    // A thumbnail file of one colour; the colour tells pictures apart.
    QString Thumb(const QString &name, QColor colour) {
        const QString path = folder_ + name;
        EXPECT_TRUE(SaveJpeg(MakePicture(130, 100, colour), kThumbnailQuality, path));
        return path;
    }

    static QColor ColourOf(const Picture &picture) { return picture.pixelColor(65, 50); }

    static bool Near(QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6 &&
               std::abs(a.blue() - b.blue()) <= 6;
    }

    QTemporaryDir dir_;
    QString folder_;
    Settings settings_;
};

TEST_F(ThumbnailCacheTest, EntriesCarryStateCounterPathAndSlot) {
    settings_.CacheMax = 200;
    ThumbnailCache cache(settings_.CacheMax);
    const QString a = Thumb(u"index.htm.jpg"_s, Qt::red);
    const QString b = Thumb(u"b.htm.jpg"_s, Qt::blue);
    cache.LoadCachedThumb(a);
    cache.LoadCachedThumb(b);
    cache.LoadCachedThumb(a); // already cached: no second decode
    EXPECT_EQ(cache.Index(),
              QStringList({u"T0000001"_s + a + u"*0"_s, u"T0000002"_s + b + u"*1"_s}));
    EXPECT_EQ(cache.LoadCount(), 2u);
    EXPECT_EQ(cache.FindCachedThumb(b), 1);
    EXPECT_EQ(cache.FindCachedEntry(b), 1);
    EXPECT_TRUE(Near(ColourOf(cache.SlotPicture(0)), Qt::red));
    EXPECT_EQ(cache.SlotPicture(0).size(), QSize(130, 100));
    // Lookups compare letter case.
    EXPECT_EQ(cache.FindCachedThumb(a.toUpper()), -1);
}

TEST_F(ThumbnailCacheTest, RecyclesOldestThenInvalidatedSlots) {
    settings_.CacheMax = 2;
    ThumbnailCache cache(settings_.CacheMax);
    const QString a = Thumb(u"a.jpg"_s, Qt::red), b = Thumb(u"b.jpg"_s, Qt::green),
                  c = Thumb(u"c.jpg"_s, Qt::blue), d = Thumb(u"d.jpg"_s, Qt::yellow),
                  e = Thumb(u"e.jpg"_s, Qt::cyan);
    for (const QString &path : {a, b, c})
        cache.LoadCachedThumb(path);
    EXPECT_EQ(cache.FindCachedThumb(a), 0);
    EXPECT_EQ(cache.FindCachedThumb(b), 1);
    EXPECT_EQ(cache.FindCachedThumb(c), 2);
    cache.LoadCachedThumb(d);
    EXPECT_EQ(cache.PictureCount(), 3);
    EXPECT_EQ(cache.FindCachedThumb(d), 0);
    EXPECT_EQ(cache.FindCachedThumb(a), -1);
    EXPECT_TRUE(Near(ColourOf(cache.SlotPicture(0)), Qt::yellow));

    // Clearing B's thumbnail marks its entry; E then takes B's slot, not the
    // slot of C, the oldest valid entry.
    cache.InvalidateCachedThumb(b);
    EXPECT_EQ(cache.FindCachedThumb(b), -1);
    EXPECT_TRUE(cache.Index().first().startsWith(u"D0000002"_s));
    cache.LoadCachedThumb(e);
    EXPECT_EQ(cache.FindCachedThumb(e), 1);
    EXPECT_EQ(cache.FindCachedThumb(c), 2);
    EXPECT_EQ(cache.Index().size(), 3);
}

TEST_F(ThumbnailCacheTest, RefreshReplacesThePictureAndKeepsTheEntry) {
    settings_.CacheMax = 5;
    ThumbnailCache cache(settings_.CacheMax);
    const QString a = Thumb(u"a.jpg"_s, Qt::red);
    cache.RefreshCachedThumb(a, MakePicture(130, 100, Qt::blue)); // not cached: nothing
    EXPECT_EQ(cache.PictureCount(), 0);
    cache.LoadCachedThumb(a);
    const QStringList before = cache.Index();
    Picture fresh = MakePicture(130, 100, QColor(1, 2, 3));
    cache.RefreshCachedThumb(a, fresh);
    EXPECT_EQ(cache.SlotPicture(0), fresh);
    EXPECT_EQ(cache.Index(), before);
    // A picture of another size is fitted into the slot.
    cache.RefreshCachedThumb(a, MakePicture(20, 300, Qt::black));
    EXPECT_EQ(cache.SlotPicture(0).size(), QSize(130, 100));
    EXPECT_EQ(cache.SlotPicture(0).pixelColor(10, 99), QColor(Qt::black));
    EXPECT_EQ(cache.SlotPicture(0).pixelColor(100, 10), QColor(Qt::white));
}

TEST_F(ThumbnailCacheTest, UndecodableFilesLeaveTheCacheAlone) {
    settings_.CacheMax = 5;
    ThumbnailCache cache(settings_.CacheMax);
    QFile bad(folder_ + u"bad.jpg"_s);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a jpeg");
    bad.close();
    cache.LoadCachedThumb(bad.fileName());
    cache.LoadCachedThumb(folder_ + u"missing.jpg"_s);
    EXPECT_EQ(cache.PictureCount(), 0);
    EXPECT_TRUE(cache.Index().isEmpty());
    EXPECT_EQ(cache.LoadCount(), 0u);
}

TEST_F(ThumbnailCacheTest, APathThatBeginsAnotherDoesNotMatchIt) {
    // Pages "a" and "a.jpg" in one folder have thumbnails "a.jpg" and
    // "a.jpg.jpg"; each must find its own picture.
    settings_.CacheMax = 5;
    ThumbnailCache cache(settings_.CacheMax);
    const QString longer = Thumb(u"a.jpg.jpg"_s, Qt::red);
    const QString shorter = Thumb(u"a.jpg"_s, Qt::blue);
    cache.LoadCachedThumb(longer);
    EXPECT_EQ(cache.FindCachedThumb(shorter), -1);
    cache.LoadCachedThumb(shorter);
    EXPECT_EQ(cache.FindCachedThumb(shorter), 1);
    EXPECT_TRUE(Near(ColourOf(cache.SlotPicture(1)), Qt::blue));
    EXPECT_EQ(cache.FindCachedThumb(longer), 0);
}

TEST_F(ThumbnailCacheTest, StarsInFileNamesKeepTheirSlot) {
    settings_.CacheMax = 5;
    ThumbnailCache cache(settings_.CacheMax);
    const QString x = Thumb(u"x.jpg"_s, Qt::green);
    const QString star = Thumb(u"a*3.htm.jpg"_s, Qt::red);
    cache.LoadCachedThumb(x);
    cache.LoadCachedThumb(star);
    EXPECT_EQ(cache.FindCachedThumb(star), 1);
}

TEST_F(ThumbnailCacheTest, NegativeCacheMaxStillCachesOnePicture) {
    settings_.CacheMax = -4;
    ThumbnailCache cache(settings_.CacheMax);
    const QString a = Thumb(u"a.jpg"_s, Qt::red), b = Thumb(u"b.jpg"_s, Qt::blue);
    cache.LoadCachedThumb(a);
    EXPECT_EQ(cache.FindCachedThumb(a), 0);
    cache.LoadCachedThumb(b);
    EXPECT_EQ(cache.FindCachedThumb(b), 0);
    EXPECT_EQ(cache.PictureCount(), 1);
}

// After any sequence of loads, refreshes and invalidations: one picture per
// entry, no slot shared, at most CacheMax + 1 pictures, and every valid entry
// shows the picture last loaded or refreshed for its path.
TEST_F(ThumbnailCacheTest, RandomOperationsKeepTheCacheConsistent) {
    std::mt19937 rng(42);
    QStringList paths;
    QHash<QString, QColor> fileColour;
    for (int i = 0; i < 7; ++i) {
        const QColor colour = QColor::fromHsv(i * 50, 255, 230);
        paths << Thumb(u"p%1.htm.jpg"_s.arg(i), colour);
        fileColour[paths.last()] = colour;
    }
    for (int cacheMax : {0, 1, 2, 3, 5}) {
        settings_.CacheMax = cacheMax;
        ThumbnailCache cache(settings_.CacheMax);
        QHash<QString, QColor> expected; // colour shown for each cached path
        for (int step = 0; step < 300; ++step) {
            const QString &path = paths[int(rng() % paths.size())];
            switch (rng() % 4) {
            case 0:
            case 1:
                if (cache.FindCachedThumb(path) < 0)
                    expected[path] = fileColour[path];
                cache.LoadCachedThumb(path);
                break;
            case 2: {
                const QColor colour(int(rng() % 256), int(rng() % 256), int(rng() % 256));
                if (cache.FindCachedThumb(path) >= 0)
                    expected[path] = colour;
                cache.RefreshCachedThumb(path, MakePicture(130, 100, colour));
                break;
            }
            default:
                cache.InvalidateCachedThumb(path);
                break;
            }
            ASSERT_EQ(cache.Index().size(), cache.PictureCount()) << step;
            ASSERT_LE(cache.PictureCount(), cacheMax + 1) << step;
            QSet<int> usedSlots;
            for (const QString &entry : cache.Index()) {
                const int slot = entry.mid(entry.lastIndexOf(u'*') + 1).toInt();
                ASSERT_TRUE(slot >= 0 && slot < cache.PictureCount()) << entry.toStdString();
                ASSERT_FALSE(usedSlots.contains(slot)) << entry.toStdString();
                usedSlots.insert(slot);
            }
            for (const QString &p : paths) {
                const int slot = cache.FindCachedThumb(p);
                if (slot >= 0) {
                    ASSERT_TRUE(Near(ColourOf(cache.SlotPicture(slot)), expected[p]))
                        << step << " " << p.toStdString();
                }
            }
        }
    }
}

} // namespace
} // namespace velmora
