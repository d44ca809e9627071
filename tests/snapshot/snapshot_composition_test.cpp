#include "pictures/resample.h"
#include "snapshot/snapshot_composition.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const QColor kBackground(0x10, 0x20, 0x30);
const QColor kShadow(0x80, 0x80, 0x80);
const QColor kBorder(0x00, 0x00, 0x80); // navy, $800000
const QColor kPage(0xC0, 0xD0, 0xE0);

SnapshotStyle Style(int border) {
    return {border, 0x302010, 0x808080, 0x800000};
}

QImage PagePicture(QSize size) {
    QImage page(size, kPictureFormat);
    page.fill(kPage);
    return page;
}

TEST(SnapshotComposition, HalfScaleWithVerticalScrollBarCut) {
    const SnapshotGeometry g = ComputeSnapshotGeometry({800, 600}, 50, 10, true, false);
    EXPECT_EQ(g.ScaledWidth, 400);
    EXPECT_EQ(g.ScaledHeight, 300);
    EXPECT_EQ(g.CaptureSize(), QSize(784, 600));
    EXPECT_EQ(g.PageSize(), QSize(384, 300));
    EXPECT_EQ(g.ImageRect, (EdgeRect{0, 0, 384, 300}));
    EXPECT_EQ(g.ShadeRect, (EdgeRect{10, 10, 394, 310}));
    EXPECT_EQ(g.TotalRect, (EdgeRect{0, 0, 394, 310}));

    QImage page = PagePicture(g.PageSize());
    const Picture snap = PaintSaveImg(g, Style(1), page);
    ASSERT_TRUE(IsPicture(snap));
    ASSERT_EQ(snap.size(), QSize(394, 310));
    EXPECT_TRUE(page.isNull()) << "the page picture is used once";
    for (int y = 0; y < 300; ++y) {
        EXPECT_EQ(snap.pixelColor(0, y), kBorder) << y;
        EXPECT_EQ(snap.pixelColor(383, y), kBorder) << y;
        EXPECT_EQ(snap.pixelColor(1, y), y == 0 || y == 299 ? kBorder : kPage) << y;
    }
    for (int x = 0; x < 384; ++x) {
        EXPECT_EQ(snap.pixelColor(x, 0), kBorder) << x;
        EXPECT_EQ(snap.pixelColor(x, 299), kBorder) << x;
    }
    EXPECT_EQ(snap.pixelColor(382, 298), kPage);
    // The two strips the shadow leaves free show the background.
    EXPECT_EQ(snap.pixelColor(384, 0), kBackground);
    EXPECT_EQ(snap.pixelColor(393, 9), kBackground);
    EXPECT_EQ(snap.pixelColor(0, 300), kBackground);
    EXPECT_EQ(snap.pixelColor(9, 309), kBackground);
    EXPECT_EQ(snap.pixelColor(384, 10), kShadow);
    EXPECT_EQ(snap.pixelColor(393, 309), kShadow);
    EXPECT_EQ(snap.pixelColor(10, 300), kShadow);
}

TEST(SnapshotComposition, NoShadowLeavesThePageAlone) {
    const SnapshotGeometry g = ComputeSnapshotGeometry({640, 480}, 25, 0, false, false);
    QImage page = PagePicture(g.PageSize());
    const Picture snap = PaintSaveImg(g, Style(0), page);
    ASSERT_EQ(snap.size(), QSize(160, 120));
    for (const QPoint p : {QPoint(0, 0), QPoint(159, 119), QPoint(159, 0), QPoint(0, 119)})
        EXPECT_EQ(snap.pixelColor(p), kPage);
}

TEST(SnapshotComposition, ThickBorderCoversTheOuterRings) {
    const SnapshotGeometry g = ComputeSnapshotGeometry({200, 100}, 100, 5, false, true);
    EXPECT_EQ(g.PageSize(), QSize(200, 84));
    QImage page = PagePicture(g.PageSize());
    const Picture snap = PaintSaveImg(g, Style(3), page);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(snap.pixelColor(i, 40), kBorder);
        EXPECT_EQ(snap.pixelColor(199 - i, 40), kBorder);
        EXPECT_EQ(snap.pixelColor(100, i), kBorder);
        EXPECT_EQ(snap.pixelColor(100, 83 - i), kBorder);
    }
    EXPECT_EQ(snap.pixelColor(3, 40), kPage);
    EXPECT_EQ(snap.pixelColor(196, 80), kPage);
    EXPECT_EQ(snap.pixelColor(3, 3), kPage);
}

TEST(SnapshotComposition, BorderWiderThanHalfThePageCoversItWithoutOverrun) {
    const SnapshotGeometry g = ComputeSnapshotGeometry({10, 12}, 100, 2, false, false);
    QImage page = PagePicture(g.PageSize());
    const Picture snap = PaintSaveImg(g, Style(30), page);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(snap.pixelColor(x, y), kBorder) << x << "," << y;
    EXPECT_EQ(snap.pixelColor(11, 13), kShadow);
    EXPECT_EQ(snap.pixelColor(11, 0), kBackground);
}

TEST(SnapshotComposition, EmptyPageShowsTheFrameOnWhite) {
    const SnapshotGeometry g = ComputeSnapshotGeometry({100, 80}, 50, 4, false, false);
    QImage none;
    const Picture snap = PaintSaveImg(g, Style(1), none);
    ASSERT_EQ(snap.size(), QSize(54, 44));
    EXPECT_EQ(snap.pixelColor(0, 0), kBorder);
    EXPECT_EQ(snap.pixelColor(25, 20), QColor(Qt::white));
}

TEST(SnapshotComposition, NoneAsBackgroundIsWhite) {
    const SnapshotGeometry g = ComputeSnapshotGeometry({100, 80}, 100, 6, false, false);
    QImage page = PagePicture(g.PageSize());
    SnapshotStyle style = Style(0);
    style.BGCol = clNone;
    const Picture snap = PaintSaveImg(g, style, page);
    EXPECT_EQ(snap.pixelColor(102, 2), QColor(Qt::white));
    EXPECT_EQ(snap.pixelColor(102, 10), kShadow);
}

TEST(SnapshotComposition, FullScaleCopiesTheCaptureUnchanged) {
    // At 100 % without allowances the capture is resampled at its own size,
    // which keeps every pixel, and the snapshot is (W + Shade) x (H + Shade).
    const SnapshotGeometry g = ComputeSnapshotGeometry({64, 48}, 100, 10, false, false);
    QImage capture(g.CaptureSize(), kPictureFormat);
    for (int y = 0; y < capture.height(); ++y)
        for (int x = 0; x < capture.width() * 3; ++x)
            capture.scanLine(y)[x] = uchar(x * 7 + y * 13);
    QImage page = ResampleImage(capture, g.PageSize().width(), g.PageSize().height());
    const Picture snap = PaintSaveImg(g, Style(0), page);
    ASSERT_EQ(snap.size(), QSize(74, 58));
    EXPECT_EQ(snap.copy(0, 0, 64, 48), capture);
}

} // namespace
} // namespace velmora
