#pragma once
// JPEG files through the libjpeg API. Every libjpeg error comes back to the
// caller as a message (libjpeg's own handler would end the process), and a
// warning about corrupt data counts as an error, so a truncated or damaged
// file never yields a half-grey picture.

#include "foundation/atomic_file.h"
#include "pictures/picture.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace velmora {

inline constexpr int kThumbnailQuality = 70;
inline constexpr int kSnapshotQuality = 75;

struct JpegDecodeOptions {
    // Two-pass quantisation to at most 256 colours with Floyd-Steinberg
    // dithering, as thumbnails are shown; false gives the full-colour picture.
    bool quantize = true;
    // Pictures with more pixels than this are refused before anything large
    // is allocated (thumbnails have 13,000).
    qint64 maxPixels = qint64(4096) * 4096;
};

// Encodes a picture (any QImage; converted when it is not in the picture
// format) at the given quality, 1 to 100.
bool EncodeJpeg(const QImage &picture, int quality, QByteArray *out, QString *error = nullptr);

// Encodes and writes the file atomically: on any failure an existing file at
// path is left as it was. links: what a symbolic link at path means (a
// snapshot the user linked is written at the link's target; a thumbnail,
// the program's own, replaces the link).
bool SaveJpeg(const QImage &picture, int quality, const QString &path, QString *error = nullptr,
              LinkPolicy links = LinkPolicy::WriteToTarget);

// Decodes JPEG data with the integer DCT and without fancy upsampling.
bool DecodeJpeg(QByteArrayView data, Picture *picture, QString *error = nullptr,
                const JpegDecodeOptions &options = {});

// Reads and decodes a file (at most 64 MB).
bool LoadJpeg(const QString &path, Picture *picture, QString *error = nullptr,
              const JpegDecodeOptions &options = {});

} // namespace velmora
