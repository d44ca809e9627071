// The first screen of a grid that is given its files while hidden (the
// Folder View is shown) is decoded ahead, so that showing the grid finds its
// pictures ready; nothing past that screen is decoded.

#include "pictures/jpeg_codec.h"
#include "temp_files.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

TEST(FirstScreenAhead, AHiddenGridDecodesItsFirstScreenAndNoMore) {
    QTemporaryDir dir;
    ThumbnailStore store(dir.path() + u"/THUMBS/"_s, 200);
    QStringList pages;
    for (int i = 0; i < 60; ++i) {
        pages << dir.path() + u"/site/p%1.htm"_s.arg(i, 2, 10, QChar(u'0'));
        WriteBytes(pages.back(), "<p>");
        const QString thumb = store.ThumbPathOf(pages.back());
        QDir().mkpath(QFileInfo(thumb).path());
        ASSERT_TRUE(SaveJpeg(MakePicture(130, 100, Qt::blue), kThumbnailQuality, thumb));
    }
    LVThumbs grid(store);
    grid.resize(800, 600); // never shown
    const int screen = grid.TilesPerScreen();
    const int columns = grid.viewport()->width() / grid.gridSize().width();
    const int rows =
        (grid.viewport()->height() + grid.gridSize().height() - 1) / grid.gridSize().height();
    EXPECT_EQ(screen, columns * rows);
    ASSERT_GT(screen, 4);
    ASSERT_LT(screen, 60);

    grid.ShowFiles(pages);
    const ThumbGridModel &model = *grid.Model();
    QElapsedTimer waited;
    waited.start();
    while (!model.DecodedAhead(screen - 1) && waited.elapsed() < 10000)
        QThread::msleep(5);
    for (int row = 0; row < screen; ++row)
        EXPECT_TRUE(model.DecodedAhead(row)) << row;
    EXPECT_FALSE(model.DecodedAhead(screen));
    EXPECT_FALSE(model.DecodedAhead(59));
    EXPECT_EQ(store.Cache().PictureCount(), 0); // the cache itself waits for the paint

    // The paint's hint takes the decoded pictures into the cache.
    grid.LVThumbsDataHint(0, screen - 1);
    EXPECT_EQ(store.Cache().PictureCount(), screen);
    EXPECT_FALSE(model.DecodedAhead(0));
}

} // namespace
} // namespace velmora::testing
