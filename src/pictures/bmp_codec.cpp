#include "pictures/bmp_codec.h"

#include <QtEndian>

#include <cstring>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
// 72 dots per inch, as pixels per metre.
constexpr qint32 kPixelsPerMetre = 2835;

template <typename T> void Put(QByteArray &out, qsizetype offset, T value) {
    qToLittleEndian(value, out.data() + offset);
}

} // namespace

QByteArray EncodeBmp24(const QImage &picture) {
    if (picture.isNull())
        return {};
    const Picture source = ToPicture(picture);
    const qsizetype rowBytes = (qsizetype(source.width()) * 3 + 3) / 4 * 4;
    const qsizetype pixelBytes = rowBytes * source.height();
    const qsizetype headerBytes = kFileHeaderBytes + kInfoHeaderBytes;
    QByteArray out(headerBytes + pixelBytes, '\0');

    out[0] = 'B';
    out[1] = 'M';
    Put<quint32>(out, 2, quint32(out.size()));
    Put<quint32>(out, 10, quint32(headerBytes));
    Put<quint32>(out, 14, kInfoHeaderBytes);
    Put<qint32>(out, 18, source.width());
    Put<qint32>(out, 22, source.height()); // positive: rows bottom up
    Put<quint16>(out, 26, 1);              // planes
    Put<quint16>(out, 28, 24);             // bits per pixel
    Put<quint32>(out, 30, 0);              // no compression
    Put<quint32>(out, 34, quint32(pixelBytes));
    Put<qint32>(out, 38, kPixelsPerMetre);
    Put<qint32>(out, 42, kPixelsPerMetre);

    // The picture format keeps blue, green, red, which is the file's order.
    char *row = out.data() + headerBytes;
    for (int y = source.height() - 1; y >= 0; --y, row += rowBytes)
        std::memcpy(row, source.constScanLine(y), size_t(source.width()) * 3);
    return out;
}

bool SaveBmp(const QImage &picture, const QString &path, QString *error, LinkPolicy links) {
    const QByteArray data = EncodeBmp24(picture);
    if (data.isEmpty()) {
        if (error)
            *error = u"No picture to encode"_s;
        return false;
    }
    return WriteFileAtomically(path, data, error, links);
}

} // namespace velmora
