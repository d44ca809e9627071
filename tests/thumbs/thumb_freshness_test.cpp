#include "thumbs/thumb_freshness.h"
#include "thumbs/thumbnail_names.h"

#include "temp_files.h"
#include "unusual_files.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <optional>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

constexpr qint64 kNoon = 1'700'000'000'000; // a whole second

TEST(ThumbFreshness, StateFromTheTwoModificationTimes) {
    EXPECT_EQ(ThumbFreshnessOf(kNoon, 0), ThumbFreshness::Missing);
    EXPECT_EQ(ThumbFreshnessOf(kNoon, kNoon - 60'000), ThumbFreshness::Outdated);
    EXPECT_EQ(ThumbFreshnessOf(kNoon, kNoon + 60'000), ThumbFreshness::UpToDate);
    // The same second: equal times (as a file system keeping whole seconds
    // gives them) are up to date, a thumbnail made a few milliseconds before
    // the page was saved is not.
    EXPECT_EQ(ThumbFreshnessOf(kNoon, kNoon), ThumbFreshness::UpToDate);
    EXPECT_EQ(ThumbFreshnessOf(kNoon + 900, kNoon + 5), ThumbFreshness::Outdated);
    // Without a page there is nothing to make, whatever the thumbnail.
    EXPECT_EQ(ThumbFreshnessOf(0, kNoon), ThumbFreshness::PageGone);
    EXPECT_EQ(ThumbFreshnessOf(0, 0), ThumbFreshness::PageGone);

    EXPECT_TRUE(NeedsThumbnail(ThumbFreshness::Missing));
    EXPECT_TRUE(NeedsThumbnail(ThumbFreshness::Outdated));
    EXPECT_FALSE(NeedsThumbnail(ThumbFreshness::UpToDate));
    EXPECT_FALSE(NeedsThumbnail(ThumbFreshness::PageGone));
}

class ThumbFreshnessOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        thumbDir = dir.filePath(u"THUMBS/"_s);
    }
    // A page and, unless thumbAge is empty, its thumbnail dated thumbAge
    // seconds after the page (negative: before).
    QString Page(const QString &name, std::optional<int> thumbAge) {
        const QString page = dir.filePath(u"site/"_s + name);
        WriteBytes(page, "<p>");
        const QDateTime saved = QDateTime::fromMSecsSinceEpoch(kNoon);
        SetModified(page, saved);
        if (thumbAge) {
            const QString thumb = ThumbFileName(thumbDir, dir.filePath(u"site"_s), name);
            WriteBytes(thumb, "jpeg");
            SetModified(thumb, saved.addSecs(*thumbAge));
        }
        return page;
    }
    QTemporaryDir dir;
    QString thumbDir;
};

TEST_F(ThumbFreshnessOnDisk, PagesAreCheckedAgainstTheirThumbnailFiles) {
    const QString fresh = Page(u"fresh.htm"_s, 10);
    const QString same = Page(u"same.htm"_s, 0);
    const QString old = Page(u"old.htm"_s, -10);
    const QString bare = Page(u"bare.htm"_s, std::nullopt);
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, fresh), ThumbFreshness::UpToDate);
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, same), ThumbFreshness::UpToDate);
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, old), ThumbFreshness::Outdated);
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, bare), ThumbFreshness::Missing);
    // A page given with "." and ".." parts has the thumbnail of its clean name.
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, dir.filePath(u"site/./x/../old.htm"_s)),
              ThumbFreshness::Outdated);

    // The page deleted after its thumbnail was made.
    ASSERT_TRUE(QFile::remove(fresh));
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, fresh), ThumbFreshness::PageGone);
}

TEST_F(ThumbFreshnessOnDisk, OnlyRegularFilesCount) {
    // A folder in the thumbnail's place is no thumbnail; a FIFO named like a
    // page is no page (and is never opened).
    const QString page = Page(u"a.htm"_s, std::nullopt);
    QDir().mkpath(ThumbFileName(thumbDir, dir.filePath(u"site"_s), u"a.htm"_s));
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, page), ThumbFreshness::Missing);
    const QString fifo = dir.filePath(u"site/pipe.htm"_s);
    MakeFifo(fifo);
    EXPECT_EQ(ThumbFreshnessOfPage(thumbDir, fifo), ThumbFreshness::PageGone);
    EXPECT_EQ(RegularFileStamp(fifo), 0);
    EXPECT_EQ(RegularFileStamp(page), kNoon);
}

TEST_F(ThumbFreshnessOnDisk, ChangedPagesKeepTheirOrderAndTheRestAreCounted) {
    const QStringList pages{Page(u"c.htm"_s, -1), Page(u"a.htm"_s, 5),
                            Page(u"b.htm"_s, std::nullopt), Page(u"d.htm"_s, 0),
                            dir.filePath(u"site/gone.htm"_s)};
    const ChangedPages changed = PagesNeedingThumbnails(thumbDir, pages);
    EXPECT_EQ(changed.pages, (QStringList{pages[0], pages[2]}));
    EXPECT_EQ(changed.skipped, 3);
    EXPECT_EQ(PagesNeedingThumbnails(thumbDir, {}).skipped, 0);
}

} // namespace
} // namespace velmora::testing
