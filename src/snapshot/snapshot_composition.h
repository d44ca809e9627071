#pragma once
// The snapshot picture of a page: the page resampled to the chosen scale (with
// the scroll-bar allowances cut off), on a background, with a drop shadow
// moved Shade pixels right and down and Border one-pixel frames inside the
// page area. Rectangles are left, top, right, bottom with right and bottom
// exclusive.

#include "foundation/colors.h"
#include "pictures/picture.h"

#include <QSize>

namespace velmora {

// Width of a browser scroll bar cut off at the right (VCrop) or the bottom
// (HCrop) of a capture: a fixed 16 pixels, whatever the system's scroll bars.
inline constexpr int kScrollBarAllowance = 16;

struct EdgeRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const EdgeRect &, const EdgeRect &) = default;
};

struct SnapshotGeometry {
    QSize Base;           // the page is captured at this size
    int VCrop = 0;        // columns cut at the right of the capture
    int HCrop = 0;        // rows cut at the bottom of the capture
    int Shade = 0;        // shadow offset
    int ScaledWidth = 0;  // Base.width() * Scale div 100
    int ScaledHeight = 0; // Base.height() * Scale div 100
    int TotalWidth = 0;   // page width + Shade
    int TotalHeight = 0;  // page height + Shade
    EdgeRect TotalRect;   // the whole snapshot
    EdgeRect ImageRect;   // the scaled page, at the top-left corner
    EdgeRect ShadeRect;   // the page rectangle moved Shade right and down

    // What is captured: the base size less the allowances.
    QSize CaptureSize() const { return {Base.width() - VCrop, Base.height() - HCrop}; }
    // The resampled page: the scaled size less the allowances.
    QSize PageSize() const { return {ImageRect.right, ImageRect.bottom}; }
};

// Geometry from the base size, the scale in percent and the shadow offset,
// with the scroll-bar allowances when cropVerti / cropHori are set. Callers
// check first that the page comes out at least 10 x 10 pixels.
SnapshotGeometry ComputeSnapshotGeometry(QSize base, int scale, int shade, bool cropVerti,
                                         bool cropHori);

struct SnapshotStyle {
    int Border = 0;
    ColorRef BGCol = 0xFFFFFF;
    ColorRef ShadeCol = 0x808080;
    ColorRef BorderCol = 0x800000;
};

// The look of clNone: the background becomes white (saved snapshots, JPEG
// or BMP, carry no transparency, and white is what a page is normally shown
// on); a shadow or border colour of clNone paints nothing, so the background
// or the page shows through.
QColor SnapshotFillColour(ColorRef colour);

// Composes the snapshot (ImgSave) from the geometry, the style and the scaled
// page (ImgBig): background, shadow, white page area, the page drawn at the
// top-left corner, then the border frames at insets 0 .. Border - 1 of the
// page area. An empty page leaves the page area white, which shows the frame
// alone. imgBig is emptied afterwards, as each composition uses it once.
Picture PaintSaveImg(const SnapshotGeometry &geometry, const SnapshotStyle &style, QImage &imgBig);

} // namespace velmora
