#include "pictures/jpeg_codec.h"
#include "temp_files.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"
#include "thumbs/view/thumb_tile_delegate.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using namespace velmora;
using namespace Qt::StringLiterals;
using velmora::testing::WriteBytes;

namespace {

class LVThumbsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ThumbnailStore store{dir.path() + u"/THUMBS/"_s, 200};

    QString Page(const QString &name) const { return dir.path() + u"/site/"_s + name; }

    QStringList Pages(const QStringList &names) const {
        QDir(dir.path()).mkpath(u"site"_s);
        QStringList paths;
        for (const QString &name : names) {
            WriteBytes(Page(name), "<p>");
            paths << Page(name);
        }
        return paths;
    }

    void WriteThumb(const QString &page, QColor colour = Qt::red) {
        const QString thumb = store.ThumbPathOf(page);
        QDir().mkpath(QFileInfo(thumb).path());
        ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, colour), kThumbnailQuality, thumb));
    }

    // One tile drawn by the grid's delegate into an image of its cell.
    static QImage RenderTile(LVThumbs &grid, int row, bool selected) {
        const QSize cell = grid.gridSize();
        QImage image(cell, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.initFrom(&grid);
        option.rect = QRect(QPoint(), cell);
        option.font = grid.font();
        option.state = QStyle::State_Enabled;
        if (selected)
            option.state |= QStyle::State_Selected;
        grid.itemDelegate()->paint(&painter, option, grid.Model()->index(row));
        return image;
    }

    // The tile's bounds and picture rectangle inside the rendered cell.
    static QRect Bounds(const LVThumbs &grid) {
        QRect bounds(QPoint(), ThumbTileGeometry::TileSize(grid.font().pointSize(),
                                                           QFontMetrics(grid.font()).height()));
        bounds.moveCenter(QRect(QPoint(), grid.gridSize()).center());
        return bounds;
    }
    static QRect Picture(const LVThumbs &grid) {
        return ThumbTileGeometry::PictureRect(Bounds(grid), grid.font().pointSize());
    }
};

QColor At(const QImage &image, QPoint p) {
    return image.pixelColor(p);
}

TEST_F(LVThumbsTest, EmptyFolderGivesNoTilesAndHintsPastTheEndAreIgnored) {
    LVThumbs grid(store);
    QAbstractItemModelTester tester(grid.Model());
    grid.ShowFiles({});
    EXPECT_EQ(grid.Model()->rowCount(), 0);
    grid.LVThumbsDataHint(0, 0);
    EXPECT_EQ(store.Cache().PictureCount(), 0);

    const QStringList pages = Pages({u"a.htm"_s, u"b.htm"_s});
    WriteThumb(pages[0]);
    WriteThumb(pages[1]);
    grid.ShowFiles(pages);
    grid.LVThumbsDataHint(0, 2); // the end lies past the last tile
    grid.LVThumbsDataHint(-1, 1);
    grid.LVThumbsDataHint(1, 0);
    EXPECT_EQ(store.Cache().PictureCount(), 0);
    grid.LVThumbsDataHint(0, 1);
    EXPECT_EQ(store.Cache().PictureCount(), 2);
    grid.LVThumbsDataHint(0, 1); // cached pictures are not decoded again
    EXPECT_EQ(store.Cache().LoadCount(), 2u);
}

TEST_F(LVThumbsTest, TilesAnswerCaptionSlotAndThumbnailState) {
    LVThumbs grid(store);
    const QStringList pages = Pages({u"index.htm"_s, u"news.htm"_s});
    WriteThumb(pages[1]);
    grid.ShowFiles(pages);
    const ThumbGridModel &model = *grid.Model();
    EXPECT_EQ(model.index(0).data().toString(), u"1: index.htm"_s);
    EXPECT_EQ(model.index(1).data().toString(), u"2: news.htm"_s);
    EXPECT_EQ(model.index(0).data(Qt::AccessibleDescriptionRole).toString(), u"no thumbnail"_s);
    EXPECT_EQ(model.index(1).data(Qt::AccessibleDescriptionRole).toString(), u"thumbnail"_s);
    EXPECT_EQ(model.index(1).data(ThumbGridModel::SlotRole).toInt(), -1);
    grid.LVThumbsDataHint(0, 1);
    EXPECT_EQ(model.index(0).data(ThumbGridModel::SlotRole).toInt(), -1);
    EXPECT_EQ(model.index(1).data(ThumbGridModel::SlotRole).toInt(), 0);
}

TEST_F(LVThumbsTest, PageWithoutThumbnailHasAFrameByKindAndThePlaceholderText) {
    LVThumbs grid(store);
    grid.ShowFiles(Pages({u"index.htm"_s, u"photo.JPEG"_s, u"anim.gif"_s}));
    const QRect p = Picture(grid);
    const QColor gray(128, 128, 128);
    const struct {
        int row;
        QColor frame;
    } cases[] = {{0, Qt::black}, {1, QColor(255, 255, 0)}, {2, QColor(0, 255, 0)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        const QImage tile = RenderTile(grid, c.row, false);
        // The frame lies on the picture rectangle itself.
        EXPECT_EQ(At(tile, {p.left(), p.top() + 20}), c.frame);
        EXPECT_EQ(At(tile, {p.right(), p.top() + 20}), c.frame);
        EXPECT_EQ(At(tile, {p.left() + 20, p.bottom()}), c.frame);
        EXPECT_EQ(At(tile, {p.left() - 1, p.top() + 20}), gray);
        EXPECT_EQ(At(tile, {p.left() + 5, p.top() + 5}), gray);
        EXPECT_EQ(At(tile, Bounds(grid).topLeft()), gray);
        // The placeholder text starts 40 pixels below the top, none above.
        int inked = 0, above = 0;
        for (int y = p.top() + 1; y < p.bottom(); ++y)
            for (int x = p.left() + 1; x < p.right(); ++x)
                if (At(tile, {x, y}) != gray)
                    ++(y < p.top() + 40 ? above : inked);
        EXPECT_GT(inked, 50);
        EXPECT_EQ(above, 0);
    }
}

TEST_F(LVThumbsTest, SelectedTileHasRedAndYellowOutlineOnNavy) {
    LVThumbs grid(store);
    grid.ShowFiles(Pages({u"index.htm"_s}));
    const QImage tile = RenderTile(grid, 0, true);
    const QRect bounds = Bounds(grid);
    const QRect p = Picture(grid);
    EXPECT_EQ(At(tile, bounds.topLeft()), QColor(255, 0, 0));
    EXPECT_EQ(At(tile, bounds.bottomRight()), QColor(255, 0, 0));
    EXPECT_EQ(At(tile, bounds.topLeft() + QPoint(1, 5)), QColor(255, 255, 0));
    EXPECT_EQ(At(tile, bounds.bottomRight() - QPoint(5, 1)), QColor(255, 255, 0));
    EXPECT_EQ(At(tile, {p.left() + 5, p.top() + 5}), QColor(0, 0, 128));
    EXPECT_EQ(At(tile, {p.left(), p.top() + 20}), Qt::black);
    // Outside the tile the cell is left to the view's background.
    EXPECT_EQ(At(tile, {0, 0}), Qt::magenta);
}

// The caption is written in the view's light colour FF,FC,CE on its
// background: yellow for a selected tile, gray otherwise.
TEST_F(LVThumbsTest, CaptionIsLightOnYellowWhenSelectedAndOnGrayOtherwise) {
    LVThumbs grid(store);
    grid.ShowFiles(Pages({u"index.htm"_s}));
    const QRect label = ThumbTileGeometry::LabelRect(Bounds(grid), grid.font().pointSize());
    const struct {
        bool selected;
        QColor background;
    } cases[] = {{true, QColor(255, 255, 0)}, {false, QColor(128, 128, 128)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected);
        const QImage tile = RenderTile(grid, 0, c.selected);
        // The caption's lines lie on boxes of the background colour.
        QRect box;
        for (int y = label.top(); y <= label.bottom(); ++y)
            for (int x = label.left(); x <= label.right(); ++x)
                if (At(tile, {x, y}) == c.background)
                    box |= QRect(x, y, 1, 1);
        ASSERT_FALSE(box.isEmpty());
        // Ink is every pixel there that is not the background; smoothed
        // edges lie between the two colours, so none is darker than both.
        int ink = 0, nearCaption = 0, dark = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor p = At(tile, {x, y});
                if (p == c.background)
                    continue;
                ++ink;
                if (p.red() > 240 && p.green() > 240 && p.blue() > 180)
                    ++nearCaption;
                if (p.red() < std::min(c.background.red(), 0xFF) - 8 ||
                    p.green() < std::min(c.background.green(), 0xFC) - 8 ||
                    p.blue() < std::min(c.background.blue(), 0xCE) - 8)
                    ++dark;
            }
        EXPECT_GT(ink, 20);
        EXPECT_GT(nearCaption, 5);
        EXPECT_EQ(dark, 0);
    }
}

TEST_F(LVThumbsTest, TileWithThumbnailDrawsThePictureInsideTheFrame) {
    LVThumbs grid(store);
    const QStringList pages = Pages({u"index.htm"_s});
    WriteThumb(pages[0], Qt::red);
    grid.ShowFiles(pages);
    grid.LVThumbsDataHint(0, 0);
    const QImage tile = RenderTile(grid, 0, false);
    const QRect p = Picture(grid);
    for (const QPoint at : {p.topLeft(), p.center(), p.bottomRight()}) {
        const QColor c = At(tile, at);
        EXPECT_GT(c.red(), 200) << at.x() << "," << at.y();
        EXPECT_LT(c.green(), 60);
    }
    // The frame is one pixel outside the picture.
    EXPECT_EQ(At(tile, {p.left() - 1, p.top() + 20}), Qt::black);
    EXPECT_EQ(At(tile, {p.right() + 1, p.top() + 20}), Qt::black);
    EXPECT_EQ(At(tile, {p.left() + 20, p.bottom() + 1}), Qt::black);
}

// While its picture is decoded a tile shows its frame around an empty place,
// not the text of a page without a thumbnail; then the picture.
TEST_F(LVThumbsTest, TileWaitingForItsPictureIsEmptyUntilThePictureComes) {
    QStringList names;
    for (int i = 0; i < 60; ++i)
        names << u"p%1.htm"_s.arg(i, 2, 10, QChar(u'0'));
    const QStringList pages = Pages(names);
    for (const QString &page : pages)
        WriteThumb(page, Qt::red);
    LVThumbs grid(store);
    grid.ShowFiles(pages);
    // Far past the first screen, which is decoded ahead as the files come.
    grid.Model()->ShowRange(50, 50, 50);
    ASSERT_TRUE(grid.Model()->index(50).data(ThumbGridModel::PendingRole).toBool());
    const QRect p = Picture(grid);
    const QColor gray(128, 128, 128);
    QImage tile = RenderTile(grid, 50, false);
    int inked = 0;
    for (int y = p.top(); y <= p.bottom(); ++y)
        for (int x = p.left(); x <= p.right(); ++x)
            inked += At(tile, {x, y}) != gray ? 1 : 0;
    EXPECT_EQ(inked, 0);
    EXPECT_EQ(At(tile, {p.left() - 1, p.top() + 20}), Qt::black);

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return grid.Model()->index(50).data(ThumbGridModel::SlotRole).toInt() != -1; }));
    EXPECT_FALSE(grid.Model()->index(50).data(ThumbGridModel::PendingRole).toBool());
    tile = RenderTile(grid, 50, false);
    EXPECT_GT(At(tile, p.center()).red(), 200);
    EXPECT_LT(At(tile, p.center()).green(), 60);
}

TEST_F(LVThumbsTest, PaintingFillsTheCacheForTheTilesOnScreenInTheirOrder) {
    QStringList names;
    for (int i = 0; i < 60; ++i)
        names << u"p%1.htm"_s.arg(i, 2, 10, QChar(u'0'));
    const QStringList pages = Pages(names);
    for (const QString &page : pages)
        WriteThumb(page);
    LVThumbs grid(store);
    grid.resize(500, 400);
    grid.ShowFiles(pages);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.viewport()->repaint();
    const auto [first, last] = grid.VisibleRange();
    ASSERT_EQ(first, 0);
    ASSERT_GT(last, 2);
    ASSERT_LT(last, 59);
    // The pictures join the cache as they are decoded, after the paint.
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.Cache().PictureCount() == last + 1; }));
    for (int row = 0; row <= last; ++row)
        EXPECT_EQ(store.Cache().FindCachedThumb(store.ThumbPathOf(pages[row])), row);

    grid.scrollToBottom();
    grid.viewport()->repaint();
    EXPECT_EQ(grid.VisibleRange().second, 59);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return store.Cache().FindCachedThumb(store.ThumbPathOf(pages[59])) >= 0; }));
}

TEST_F(LVThumbsTest, RefreshEntryShowsAThumbnailMadeAfterThePaint) {
    const QStringList pages = Pages({u"a.htm"_s, u"b.htm"_s});
    LVThumbs grid(store);
    grid.resize(400, 300);
    grid.ShowFiles(pages);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.viewport()->repaint();
    EXPECT_EQ(store.Cache().PictureCount(), 0);
    WriteThumb(pages[1]);
    grid.RefreshEntry(1);
    grid.viewport()->repaint();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return grid.Model()->index(1).data(ThumbGridModel::SlotRole).toInt() == 0; }));
}

TEST_F(LVThumbsTest, TypingFindsTheNextNameByPrefixInAnyCaseAndWraps) {
    LVThumbs grid(store);
    grid.ShowFiles(
        Pages({u"about.htm"_s, u"INDEX.htm"_s, u"gallery.htm"_s, u"Index2.htm"_s, u"news.htm"_s}));
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentIndex(grid.Model()->index(0));
    QTest::keyClicks(&grid, u"ind"_s);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(1));

    // From the last tile on, the search wraps to the start.
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    grid.setCurrentIndex(grid.Model()->index(3));
    QTest::keyClicks(&grid, u"ind"_s);
    EXPECT_EQ(grid.currentIndex().row(), 1);

    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(&grid, u"xyz"_s);
    EXPECT_EQ(grid.currentIndex().row(), 1);

    EXPECT_EQ(grid.Model()->FindByPrefix(u"GAL"_s, 3, false), -1);
    EXPECT_EQ(grid.Model()->FindByPrefix(u"GAL"_s, 3, true), 2);
}

} // namespace
