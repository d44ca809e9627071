#include "pictures/jpeg_codec.h"

#include <QBuffer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// A colourful picture: gradients plus noise, so that quantisation has work.
Picture TestPicture(int w, int h, unsigned seed = 1) {
    std::mt19937 rng(seed);
    Picture p(w, h, kPictureFormat);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uchar *px = p.scanLine(y) + 3 * x;
            px[0] = uchar(x * 255 / w ^ (rng() & 15));
            px[1] = uchar(y * 255 / h ^ (rng() & 15));
            px[2] = uchar((x + y) * 3 + (rng() & 31));
        }
    return p;
}

int DistinctColours(const Picture &p) {
    QSet<QRgb> colours;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            colours.insert(p.pixel(x, y));
    return int(colours.size());
}

double MeanAbsDifference(const Picture &a, const Picture &b) {
    double total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            total += std::abs(int(a.constScanLine(y)[x]) - int(b.constScanLine(y)[x]));
    return total / (a.width() * a.height() * 3.0);
}

TEST(JpegCodec, ThumbnailRoundTripIsQuantisedTo256Colours) {
    const Picture original = TestPicture(130, 100);
    QByteArray data;
    ASSERT_TRUE(EncodeJpeg(original, kThumbnailQuality, &data));
    ASSERT_TRUE(data.startsWith("\xFF\xD8"));

    Picture full;
    ASSERT_TRUE(DecodeJpeg(data, &full, nullptr, {.quantize = false}));
    ASSERT_EQ(full.size(), QSize(130, 100));
    EXPECT_GT(DistinctColours(full), 256);
    // Blue stays blue: the channel order survives encode and decode.
    EXPECT_LT(MeanAbsDifference(full, original), 12.0);

    Picture quantised;
    ASSERT_TRUE(DecodeJpeg(data, &quantised));
    ASSERT_TRUE(IsPicture(quantised));
    ASSERT_EQ(quantised.size(), QSize(130, 100));
    EXPECT_LE(DistinctColours(quantised), 256);
    EXPECT_GT(DistinctColours(quantised), 64);
    EXPECT_LT(MeanAbsDifference(quantised, original), 16.0);
}

TEST(JpegCodec, QualityChangesTheEncoding) {
    const Picture original = TestPicture(200, 150, 2);
    QByteArray low, high;
    ASSERT_TRUE(EncodeJpeg(original, 20, &low));
    ASSERT_TRUE(EncodeJpeg(original, kSnapshotQuality, &high));
    EXPECT_LT(low.size(), high.size());
    // Any QImage is accepted and converted.
    QByteArray fromArgb;
    EXPECT_TRUE(
        EncodeJpeg(original.convertToFormat(QImage::Format_ARGB32), kSnapshotQuality, &fromArgb));
    EXPECT_EQ(fromArgb, high);
    QString error;
    EXPECT_FALSE(EncodeJpeg(QImage(), 70, &fromArgb, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(JpegCodec, BadDataIsAnErrorNotACrash) {
    QByteArray good;
    ASSERT_TRUE(EncodeJpeg(TestPicture(130, 100), kThumbnailQuality, &good));
    QByteArray png;
    {
        QBuffer buffer(&png);
        ASSERT_TRUE(TestPicture(20, 20).save(&buffer, "PNG"));
    }
    std::mt19937 rng(5);
    QByteArray noise(5000, '\0');
    for (char &c : noise)
        c = char(rng());
    QByteArray noiseWithMarker = noise;
    noiseWithMarker[0] = char(0xFF);
    noiseWithMarker[1] = char(0xD8);

    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"truncated half", good.left(good.size() / 2)},
        {"truncated header", good.left(100)},
        {"no end marker", good.left(good.size() - 2)},
        {"random bytes", noise},
        {"random after SOI", noiseWithMarker},
        {"png", png},
    };
    for (const auto &[name, data] : cases) {
        for (bool quantize : {true, false}) {
            Picture picture = MakePicture(3, 3);
            QString error;
            EXPECT_FALSE(DecodeJpeg(data, &picture, &error, {.quantize = quantize})) << name;
            EXPECT_FALSE(error.isEmpty()) << name;
            EXPECT_EQ(picture.size(), QSize(3, 3)) << name << ": the picture is left alone";
        }
    }
}

TEST(JpegCodec, OversizedPicturesAreRefusedBeforeDecoding) {
    QByteArray data;
    ASSERT_TRUE(EncodeJpeg(TestPicture(300, 200), 50, &data));
    Picture picture;
    QString error;
    EXPECT_FALSE(DecodeJpeg(data, &picture, &error, {.maxPixels = 300 * 200 - 1}));
    EXPECT_TRUE(error.contains(u"too large"_s)) << error.toStdString();
    EXPECT_TRUE(DecodeJpeg(data, &picture, &error, {.maxPixels = 300 * 200}));
}

TEST(JpegCodec, FilesAreWrittenAtomicallyAndReadBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"t.jpg"_s);
    ASSERT_TRUE(SaveJpeg(TestPicture(130, 100), kThumbnailQuality, path));
    Picture picture;
    ASSERT_TRUE(LoadJpeg(path, &picture));
    EXPECT_EQ(picture.size(), QSize(130, 100));

    // A failed save leaves the old file as it was.
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_FALSE(SaveJpeg(QImage(), kThumbnailQuality, path));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);

    QString error;
    EXPECT_FALSE(SaveJpeg(TestPicture(10, 10), 70, dir.filePath(u"missing/t.jpg"_s), &error));
    EXPECT_FALSE(LoadJpeg(dir.filePath(u"none.jpg"_s), &picture, &error));
    EXPECT_FALSE(error.isEmpty());

    // A PNG renamed to .jpg and a zero-byte file are errors too.
    const QString renamed = dir.filePath(u"png.jpg"_s);
    ASSERT_TRUE(TestPicture(20, 20).save(renamed, "PNG"));
    EXPECT_FALSE(LoadJpeg(renamed, &picture, &error));
    QFile empty(dir.filePath(u"empty.jpg"_s));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_FALSE(LoadJpeg(empty.fileName(), &picture, &error));
}

TEST(JpegCodec, GrayscaleFilesDecodeToGrayPictures) {
    QImage gray(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            gray.scanLine(y)[x] = uchar(x * 6);
    QByteArray data;
    {
        QBuffer buffer(&data);
        ASSERT_TRUE(gray.save(&buffer, "JPEG", 90));
    }
    for (bool quantize : {true, false}) {
        Picture picture;
        ASSERT_TRUE(DecodeJpeg(data, &picture, nullptr, {.quantize = quantize}));
        // Quantisation picks its colours from the whole RGB cube, so dithered
        // grays may be off by a step; the plain decode is exactly gray.
        const int tolerance = quantize ? 4 : 0;
        const QRgb px = picture.pixel(20, 10);
        EXPECT_NEAR(qRed(px), qGreen(px), tolerance);
        EXPECT_NEAR(qGreen(px), qBlue(px), tolerance);
        EXPECT_NEAR(qRed(px), 120, 8);
    }
}

} // namespace
} // namespace velmora
