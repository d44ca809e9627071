#pragma once
// The one picture type of the thumbnail and snapshot pipeline: a QImage in
// QImage::Format_BGR888, that is 24 bits per pixel with the bytes of a pixel in
// the order blue, green, red, rows reachable by index (scanLine). Captures,
// resampled pictures, decoded thumbnails, cached thumbnails and snapshots all
// use it, so no stage converts between formats except at the pipeline's edges
// (a page capture comes in as whatever the renderer paints).

#include <QColor>
#include <QImage>

namespace velmora {

using Picture = QImage;
inline constexpr QImage::Format kPictureFormat = QImage::Format_BGR888;

// A picture of the given size with every pixel set to fill. A size below 1 in
// either direction gives a null picture.
Picture MakePicture(int width, int height, QColor fill = Qt::white);

// A copy of image in the picture format (no copy when it already is one).
Picture ToPicture(const QImage &image);

// Converts image to the picture format in place; a picture stays untouched.
void ConvertToPicture(QImage &image);

inline bool IsPicture(const QImage &image) {
    return !image.isNull() && image.format() == kPictureFormat;
}

} // namespace velmora
