#include "snapshot/snapshot_composition.h"

#include <algorithm>

namespace velmora {

SnapshotGeometry ComputeSnapshotGeometry(QSize base, int scale, int shade, bool cropVerti,
                                         bool cropHori) {
    SnapshotGeometry g;
    g.Base = base;
    g.VCrop = cropVerti ? kScrollBarAllowance : 0;
    g.HCrop = cropHori ? kScrollBarAllowance : 0;
    g.Shade = shade;
    g.ScaledWidth = static_cast<int>(qint64(base.width()) * scale / 100);
    g.ScaledHeight = static_cast<int>(qint64(scale) * base.height() / 100);
    const int w = g.ScaledWidth - g.VCrop;
    const int h = g.ScaledHeight - g.HCrop;
    g.TotalWidth = w + shade;
    g.TotalHeight = h + shade;
    g.TotalRect = {0, 0, g.TotalWidth, g.TotalHeight};
    g.ImageRect = {0, 0, w, h};
    g.ShadeRect = {shade, shade, w + shade, h + shade};
    return g;
}

QColor SnapshotFillColour(ColorRef colour) {
    if (colour == clNone)
        return QColor(); // invalid: paint nothing
    return ColorFromRef(colour & 0xFFFFFF);
}

namespace {

// Fills the part of rect that lies inside the picture.
void Fill(Picture &picture, EdgeRect rect, QColor colour) {
    if (!colour.isValid())
        return;
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, picture.width());
    rect.bottom = std::min(rect.bottom, picture.height());
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const uchar bgr[3] = {uchar(colour.blue()), uchar(colour.green()), uchar(colour.red())};
    for (int y = rect.top; y < rect.bottom; ++y) {
        uchar *px = picture.scanLine(y) + 3 * rect.left;
        for (int x = rect.left; x < rect.right; ++x, px += 3)
            std::copy_n(bgr, 3, px);
    }
}

void DrawAtOrigin(Picture &picture, const QImage &page) {
    const Picture source = ToPicture(page);
    const int w = std::min(source.width(), picture.width());
    for (int y = 0; y < std::min(source.height(), picture.height()); ++y)
        std::copy_n(source.constScanLine(y), 3 * w, picture.scanLine(y));
}

void DrawBorder(Picture &picture, EdgeRect ring, int border, QColor colour) {
    ring = {ring.left - 1, ring.top - 1, ring.right + 1, ring.bottom + 1};
    for (int i = 0; i < border; ++i) {
        ring = {ring.left + 1, ring.top + 1, ring.right - 1, ring.bottom - 1};
        // Once the rings meet in the middle the whole page is covered.
        if (ring.Width() <= 0 || ring.Height() <= 0)
            break;
        Fill(picture, {ring.left, ring.top, ring.right, ring.top + 1}, colour);
        Fill(picture, {ring.left, ring.bottom - 1, ring.right, ring.bottom}, colour);
        Fill(picture, {ring.left, ring.top, ring.left + 1, ring.bottom}, colour);
        Fill(picture, {ring.right - 1, ring.top, ring.right, ring.bottom}, colour);
    }
}

} // namespace

Picture PaintSaveImg(const SnapshotGeometry &geometry, const SnapshotStyle &style, QImage &imgBig) {
    Picture imgSave(geometry.TotalWidth, geometry.TotalHeight, kPictureFormat);
    if (!imgSave.isNull()) {
        QColor background = SnapshotFillColour(style.BGCol);
        if (!background.isValid())
            background = Qt::white;
        Fill(imgSave, geometry.TotalRect, background);
        Fill(imgSave, geometry.ShadeRect, SnapshotFillColour(style.ShadeCol));
        Fill(imgSave, geometry.ImageRect, Qt::white);
        if (!imgBig.isNull())
            DrawAtOrigin(imgSave, imgBig);
        DrawBorder(imgSave, geometry.ImageRect, style.Border, SnapshotFillColour(style.BorderCol));
    }
    imgBig = QImage();
    return imgSave;
}

} // namespace velmora
