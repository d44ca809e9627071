// Scrolling the Thumbnail View: the paint of a new screen does not wait for
// its pictures; they are decoded on the second thread and join the cache in
// tile order afterwards. Files of tiles scrolled away are not decoded, and a
// thumbnail that cannot be decoded ends as "no thumbnail", not as a tile
// waiting for ever.

#include "pictures/jpeg_codec.h"
#include "temp_files.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_decode_ahead.h"
#include "thumbs/view/thumb_grid_model.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class TilesWhileScrolling : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ThumbnailStore store{dir.path() + u"/THUMBS/"_s, 200};

    QStringList PagesWithThumbs(int count) {
        QStringList pages;
        for (int i = 0; i < count; ++i) {
            pages << dir.path() + u"/site/p%1.htm"_s.arg(i, 3, 10, QChar(u'0'));
            WriteBytes(pages.back(), "<p>");
            WriteThumb(pages.back());
        }
        return pages;
    }
    void WriteThumb(const QString &page) {
        const QString thumb = store.ThumbPathOf(page);
        QDir().mkpath(QFileInfo(thumb).path());
        ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, Qt::blue), kThumbnailQuality, thumb));
    }
    static int Slot(const LVThumbs &grid, int row) {
        return grid.Model()->index(row).data(ThumbGridModel::SlotRole).toInt();
    }
    static bool Pending(const LVThumbs &grid, int row) {
        return grid.Model()->index(row).data(ThumbGridModel::PendingRole).toBool();
    }
};

TEST_F(TilesWhileScrolling, AScrolledScreenIsPaintedFirstAndItsPicturesComeAfterInTileOrder) {
    const QStringList pages = PagesWithThumbs(200);
    LVThumbs grid(store);
    grid.resize(500, 400);
    grid.ShowFiles(pages);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.viewport()->repaint();
    const int firstScreen = grid.VisibleRange().second + 1;
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.Cache().PictureCount() == firstScreen; }));

    grid.scrollTo(grid.Model()->index(150), QAbstractItemView::PositionAtTop);
    grid.viewport()->repaint();
    const auto [first, last] = grid.VisibleRange();
    ASSERT_GT(first, 2 * firstScreen);
    // Nothing of the new screen was decoded during its paint.
    for (int row = first; row <= last; ++row) {
        EXPECT_EQ(Slot(grid, row), -1) << row;
        EXPECT_TRUE(Pending(grid, row)) << row;
    }

    ASSERT_TRUE(QTest::qWaitFor([&] { return Slot(grid, last) != -1; }));
    for (int row = first; row <= last; ++row) {
        EXPECT_FALSE(Pending(grid, row)) << row;
        EXPECT_EQ(Slot(grid, row), firstScreen + row - first) << row;
    }
    // Tiles never on screen are not cached: the screen after the first was
    // only decoded ahead, and those between were never asked for.
    EXPECT_EQ(store.Cache().PictureCount(), firstScreen + last - first + 1);
}

// The last screen of a folder has no next screen whose pictures would come
// later: pictures decoded ahead before it was shown must be taken at once.
TEST_F(TilesWhileScrolling, PicturesDecodedAheadAreShownWithTheScreen) {
    const QStringList pages = PagesWithThumbs(4);
    LVThumbs grid(store);
    grid.resize(800, 600);
    grid.ShowFiles(pages);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.Model()->DecodedAhead(3); }));
    QCoreApplication::processEvents(); // the announcements, while no tile is shown
    grid.ShowFiles(pages);             // the same files again: nothing is waited for
    grid.Model()->ShowRange(0, 3, 3);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Slot(grid, row), row);
        EXPECT_FALSE(Pending(grid, row));
    }
}

TEST_F(TilesWhileScrolling, AnUndecodableThumbnailEndsAsNoThumbnail) {
    const QStringList pages = PagesWithThumbs(3);
    WriteBytes(store.ThumbPathOf(pages[1]), "not a JPEG");
    LVThumbs grid(store);
    grid.resize(600, 300);
    grid.ShowFiles(pages);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.viewport()->repaint();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !Pending(grid, 0) && !Pending(grid, 1) && !Pending(grid, 2); }));
    EXPECT_EQ(Slot(grid, 0), 0);
    EXPECT_EQ(Slot(grid, 1), -1);
    EXPECT_EQ(Slot(grid, 2), 1);
    // Showing the tiles again does not ask for the file again.
    grid.Model()->ShowRange(0, 2, 2);
    EXPECT_FALSE(Pending(grid, 1));

    // A thumbnail made for it later is shown once the tile is refreshed.
    WriteThumb(pages[1]);
    grid.RefreshEntry(1);
    grid.viewport()->repaint();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Slot(grid, 1) == 2; }));
}

// A new request replaces the one before: of a long list asked for and then
// replaced at once, the files not yet begun are never decoded.
TEST(ThumbDecodeAheadRequests, FilesOfAReplacedRequestAreNotDecoded) {
    QTemporaryDir dir;
    QStringList first;
    for (int i = 0; i < 150; ++i) {
        first << dir.filePath(u"t%1.jpg"_s.arg(i));
        ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, Qt::red), kThumbnailQuality, first.back()));
    }
    const QString now = dir.filePath(u"now.jpg"_s);
    ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, Qt::green), kThumbnailQuality, now));

    std::atomic<int> done{0};
    ThumbDecodeAhead ahead([&done] { ++done; });
    ahead.Request(first);
    ahead.Request({now});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ahead.IsReady(now); }, 5000));
    QTest::qWait(100);
    int decoded = 0;
    for (const QString &path : first)
        decoded += ahead.IsReady(path) ? 1 : 0;
    EXPECT_LT(decoded, 20);
    EXPECT_FALSE(ahead.IsReady(first.back()));
    // Each file done was reported.
    EXPECT_EQ(done.load(), decoded + 1);
}

} // namespace
} // namespace velmora::testing
