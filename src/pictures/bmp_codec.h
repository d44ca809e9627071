#pragma once
// Windows bitmap files of 24 bits per pixel: a BITMAPFILEHEADER, a
// BITMAPINFOHEADER without compression, and the rows bottom up, each padded
// to a multiple of four bytes. Snapshots are saved this way when the user
// asks for BMP.

#include "foundation/atomic_file.h"
#include "pictures/picture.h"

#include <QByteArray>
#include <QString>

namespace velmora {

// The whole file of a picture (any QImage; converted when it is not in the
// picture format). Empty for a null picture.
QByteArray EncodeBmp24(const QImage &picture);

// Encodes and writes the file atomically: on any failure an existing file at
// path is left as it was.
bool SaveBmp(const QImage &picture, const QString &path, QString *error = nullptr,
             LinkPolicy links = LinkPolicy::WriteToTarget);

} // namespace velmora
