// The mark of a thumbnail older than its page in the Thumbnail View: drawn
// from what the model learnt once, and looked at anew when the tile is
// refreshed or the files are shown again.

#include "pictures/jpeg_codec.h"
#include "temp_files.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"
#include "thumbs/view/thumb_tile_delegate.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class OutdatedMarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(u"site"_s);
    }

    // A page saved an hour ago with a red thumbnail made secondsAfter later.
    QString PageWithThumb(const QString &name, int secondsAfter) {
        const QString page = dir.path() + u"/site/"_s + name;
        WriteBytes(page, "<p>");
        SetModified(page, saved);
        const QString thumb = store.ThumbPathOf(page);
        QDir().mkpath(QFileInfo(thumb).path());
        EXPECT_TRUE(SaveJpeg(MakePicture(130, 100, Qt::red), kThumbnailQuality, thumb));
        SetModified(thumb, saved.addSecs(secondsAfter));
        return page;
    }

    QImage RenderTile(int row) {
        const QSize cell = grid.gridSize();
        QImage image(cell, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.initFrom(&grid);
        option.rect = QRect(QPoint(), cell);
        option.font = grid.font();
        option.state = QStyle::State_Enabled;
        grid.itemDelegate()->paint(&painter, option, grid.Model()->index(row));
        return image;
    }
    QRect Picture() const {
        QRect bounds(QPoint(), ThumbTileGeometry::TileSize(grid.font().pointSize(),
                                                           QFontMetrics(grid.font()).height()));
        bounds.moveCenter(QRect(QPoint(), grid.gridSize()).center());
        return ThumbTileGeometry::PictureRect(bounds, grid.font().pointSize());
    }
    // Whether the tile shows the mark: its corner orange, its middle the
    // thumbnail's red.
    bool Marked(int row) {
        const QImage tile = RenderTile(row);
        const QRect p = Picture();
        EXPECT_GT(tile.pixelColor(p.center()).red(), 200);
        EXPECT_LT(tile.pixelColor(p.center()).green(), 60);
        return tile.pixelColor(p.topRight() + QPoint(-2, 2)) == tile_colours::kOutdatedMark;
    }
    QString Description(int row) const {
        return grid.Model()->index(row).data(Qt::AccessibleDescriptionRole).toString();
    }

    QTemporaryDir dir;
    ThumbnailStore store{dir.path() + u"/THUMBS/"_s, 200};
    LVThumbs grid{store};
    const QDateTime saved = QDateTime::currentDateTime().addSecs(-3600);
};

TEST_F(OutdatedMarkTest, OnlyAThumbnailOlderThanItsPageIsMarked) {
    const QStringList pages{PageWithThumb(u"old.htm"_s, -60), PageWithThumb(u"same.htm"_s, 0),
                            PageWithThumb(u"new.htm"_s, 60)};
    grid.ShowFiles(pages);
    grid.LVThumbsDataHint(0, 2);
    EXPECT_TRUE(Marked(0));
    EXPECT_FALSE(Marked(1));
    EXPECT_FALSE(Marked(2));
    EXPECT_EQ(Description(0), u"outdated thumbnail"_s);
    EXPECT_EQ(Description(1), u"thumbnail"_s);
    EXPECT_TRUE(grid.Model()->index(0).data(ThumbGridModel::OutdatedRole).toBool());
    EXPECT_FALSE(grid.Model()->index(2).data(ThumbGridModel::OutdatedRole).toBool());
}

TEST_F(OutdatedMarkTest, TheMarkIsLookedUpOnceAndAnewAfterARefreshOrShowingTheFilesAgain) {
    const QStringList pages{PageWithThumb(u"a.htm"_s, -60), PageWithThumb(u"b.htm"_s, 60)};
    grid.ShowFiles(pages);
    grid.LVThumbsDataHint(0, 1);
    EXPECT_TRUE(Marked(0));
    EXPECT_FALSE(Marked(1));

    // The thumbnail of a made again, page b saved: painting alone does not
    // look at the files...
    SetModified(store.ThumbPathOf(pages[0]), saved.addSecs(120));
    SetModified(pages[1], saved.addSecs(180));
    EXPECT_TRUE(Marked(0));
    EXPECT_FALSE(Marked(1));
    // ...a refreshed tile does, and so does showing the same files again.
    grid.RefreshEntry(0);
    EXPECT_FALSE(Marked(0));
    EXPECT_FALSE(Marked(1));
    EXPECT_FALSE(grid.ShowFiles(pages));
    EXPECT_TRUE(Marked(1));
}

TEST_F(OutdatedMarkTest, NoMarkWithoutAPictureOnShow) {
    // The thumbnail file is older than its page but not cached (and cannot
    // be: it is no picture): the placeholder is drawn, unmarked.
    const QString page = PageWithThumb(u"a.htm"_s, -60);
    WriteBytes(store.ThumbPathOf(page), "not a picture");
    SetModified(store.ThumbPathOf(page), saved.addSecs(-60));
    grid.ShowFiles({page});
    grid.LVThumbsDataHint(0, 0);
    const QImage tile = RenderTile(0);
    EXPECT_NE(tile.pixelColor(Picture().topRight() + QPoint(-2, 2)), tile_colours::kOutdatedMark);
}

} // namespace
} // namespace velmora::testing
