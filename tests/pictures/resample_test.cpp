// The resampler against a slow reference written in this file from the rules
// alone: plain loops, one channel at a time, each sum added in list order.

#include "pictures/resample.h"
#include "pictures/resample_passes.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace velmora {
namespace {

namespace ref {

float F(double v) {
    return static_cast<float>(v);
}

float Sinc(float x) {
    if (x == 0.0f)
        return 1.0f;
    const float px = F(std::numbers::pi * x);
    return F(std::sin(double(px)) / double(px));
}

// The kernel table, each result rounded to a float; t squared rounded where
// the rules say so (B-Spline, Mitchell).
float Kernel(int index, float x) {
    const double t = std::fabs(double(x));
    switch (index) {
    case 0:
        return (-0.5 < x && x <= 0.5) ? 1.0f : 0.0f;
    case 1:
        return t < 1 ? F(1 - t) : 0.0f;
    case 2:
        return t < 1 ? F((2 * t - 3) * (t * t) + 1) : 0.0f;
    case 3:
        if (t < 0.5)
            return F(0.75 - t * t);
        return t < 1.5 ? F(0.5 * ((t - 1.5) * (t - 1.5))) : 0.0f;
    case 4: {
        const double t2 = F(t * t);
        if (t < 1)
            return F(0.5 * t2 * t - t2 + 2.0 / 3.0);
        return t < 2 ? F((2 - t) * (2 - t) * (2 - t) / 6) : 0.0f;
    }
    case 5:
        return t < 3 ? F(double(Sinc(F(t))) * double(Sinc(F(t / 3)))) : 0.0f;
    default: {
        const double t2 = F(t * t);
        if (t < 1)
            return F((7 * t2 * t - 12 * t2 + 16.0 / 3.0) / 6);
        return t < 2 ? F((-(7.0 / 3.0) * t2 * t + 12 * t2 - 20 * t + 32.0 / 3.0) / 6) : 0.0f;
    }
    }
}

struct Tap {
    int pixel;
    float weight;
};

std::vector<std::vector<Tap>> Weights(int kernel, float support, float s, int n, int count) {
    const float w = s < 1 ? F(support / double(s)) : support;
    const float f = s < 1 ? F(1 / double(s)) : 1.0f;
    std::vector<std::vector<Tap>> lists(count);
    for (int i = 0; i < count; ++i) {
        const float centre = F(i / double(s));
        for (int j = int(std::floor(double(centre) - w)); j <= int(std::ceil(double(centre) + w));
             ++j) {
            const float weight = F(Kernel(kernel, F((double(centre) - j) / f)) / double(f));
            if (weight == 0.0f)
                continue;
            lists[i].push_back({j < 0 ? -j : (j >= n ? 2 * n - 1 - j : j), weight});
        }
    }
    return lists;
}

std::uint8_t Byte(float sum) {
    if (sum > 255.0f)
        return 255;
    if (sum < 0.0f)
        return 0;
    const double low = std::floor(double(sum));
    const double rest = sum - low;
    int v = int(low);
    if (rest > 0.5 || (rest == 0.5 && v % 2 == 1))
        ++v;
    return std::uint8_t(v);
}

float Scale(int d, int s) {
    return s == 1 ? F(double(d) / s) : F(double(d - 1) / (s - 1));
}

struct Result {
    std::vector<std::uint8_t> bytes; // dh rows of dw * 3
    std::vector<float> horizontal, vertical;
};

Result Resample(const QImage &src, int dw, int dh, int kernel) {
    const float support = ResampleFilterTable[kernel].Support;
    const int sw = src.width(), sh = src.height();
    Result out;
    std::vector<std::uint8_t> mid(std::size_t(sh) * dw * 3);
    const auto hl = Weights(kernel, support, Scale(dw, sw), sw, dw);
    for (int r = 0; r < sh; ++r)
        for (int i = 0; i < dw; ++i)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (const Tap &tap : hl[i])
                    sum = sum + float(src.constScanLine(r)[tap.pixel * 3 + c]) * tap.weight;
                out.horizontal.push_back(sum);
                mid[(std::size_t(r) * dw + i) * 3 + c] = Byte(sum);
            }
    const auto vl = Weights(kernel, support, Scale(dh, sh), sh, dh);
    for (int i = 0; i < dh; ++i)
        for (int x = 0; x < dw; ++x)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (const Tap &tap : vl[i])
                    sum = sum + float(mid[(std::size_t(tap.pixel) * dw + x) * 3 + c]) * tap.weight;
                out.vertical.push_back(sum);
                out.bytes.push_back(Byte(sum));
            }
    return out;
}

} // namespace ref

QImage RandomPicture(int w, int h, std::mt19937 &rng) {
    QImage picture(w, h, kPictureFormat);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            picture.scanLine(y)[x] = std::uint8_t(byte(rng));
    return picture;
}

int FloatsDiffering(const std::vector<float> &a, const std::vector<float> &b) {
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i]);
    return n;
}

TEST(Resample, EveryKernelMatchesTheReferenceBitForBit) {
    std::mt19937 rng(20261209);
    const struct {
        int sw, sh, dw, dh;
    } sizes[] = {{40, 30, 13, 10}, {17, 23, 50, 41},     {64, 48, 64, 48},
                 {31, 20, 20, 31}, {200, 150, 130, 100}, {12, 90, 37, 11}};
    for (int kernel = 0; kernel < 7; ++kernel) {
        for (const auto &size : sizes) {
            SCOPED_TRACE(std::string(ResampleFilterTable[kernel].Name) + " " +
                         std::to_string(size.sw) + "x" + std::to_string(size.sh) + " -> " +
                         std::to_string(size.dw) + "x" + std::to_string(size.dh));
            QImage source = RandomPicture(size.sw, size.sh, rng);
            const ref::Result expected = ref::Resample(source, size.dw, size.dh, kernel);
            QImage destination(size.dw, size.dh, kPictureFormat);
            resample::PassSums sums;
            resample::ResampleWithSums(source, destination, ResampleFilterTable[kernel].Kernel,
                                       ResampleFilterTable[kernel].Support, &sums);
            EXPECT_EQ(FloatsDiffering(sums.horizontal, expected.horizontal), 0);
            EXPECT_EQ(FloatsDiffering(sums.vertical, expected.vertical), 0);
            int bytesDiffering = 0;
            for (int y = 0; y < size.dh; ++y)
                for (int x = 0; x < size.dw * 3; ++x)
                    bytesDiffering += destination.constScanLine(y)[x] !=
                                      expected.bytes[(std::size_t(y) * size.dw * 3) + x];
            EXPECT_EQ(bytesDiffering, 0);
        }
    }
}

// Weight lists are kept between calls: scalings that share a scale factor
// but not a length, and scalings met again after others pushed them out, must
// still give the reference pictures.
TEST(Resample, RepeatedAndInterleavedScalingsMatchTheReference) {
    std::mt19937 rng(31);
    const struct {
        int sw, sh, dw, dh, kernel;
    } sizes[] = {{21, 41, 11, 21, kLanczos3Index},
                 {41, 21, 21, 11, kLanczos3Index},
                 {41, 21, 21, 11, 1},
                 {33, 17, 9, 5, kLanczos3Index},
                 {17, 33, 5, 9, kLanczos3Index},
                 {60, 45, 13, 10, kLanczos3Index}};
    for (int round = 0; round < 2; ++round) {
        for (const auto &size : sizes) {
            SCOPED_TRACE(std::to_string(size.sw) + "x" + std::to_string(size.sh) + " -> " +
                         std::to_string(size.dw) + "x" + std::to_string(size.dh));
            QImage source = RandomPicture(size.sw, size.sh, rng);
            const ref::Result expected = ref::Resample(source, size.dw, size.dh, size.kernel);
            QImage destination(size.dw, size.dh, kPictureFormat);
            ResampleImage(source, destination, ResampleFilterTable[size.kernel].Kernel,
                          ResampleFilterTable[size.kernel].Support);
            for (int y = 0; y < size.dh; ++y)
                ASSERT_EQ(std::memcmp(destination.constScanLine(y),
                                      expected.bytes.data() + std::size_t(y) * size.dw * 3,
                                      std::size_t(size.dw) * 3),
                          0)
                    << "round " << round << " row " << y;
        }
    }
}

TEST(Resample, ThumbnailSizeFromAPageCaptureMatchesTheReference) {
    std::mt19937 rng(7);
    QImage capture = RandomPicture(800, 600, rng).convertToFormat(QImage::Format_RGB32);
    const QImage asPicture = ToPicture(capture);
    const ref::Result expected = ref::Resample(asPicture, 130, 100, kLanczos3Index);
    const Picture thumb = ResampleImage(capture, 130, 100);
    EXPECT_TRUE(IsPicture(capture)) << "the source is converted in place";
    ASSERT_TRUE(IsPicture(thumb));
    for (int y = 0; y < 100; ++y)
        ASSERT_EQ(std::memcmp(thumb.constScanLine(y), expected.bytes.data() + y * 390, 390), 0)
            << "row " << y;
}

TEST(Resample, SameSizeLanczos3KeepsEveryPixel) {
    const auto lists = resample::BuildWeightLists(1.0f, 50, 50, Lanczos3Kernel, 3.0f);
    for (int i = 2; i < 48; ++i) {
        ASSERT_EQ(lists.Size(i), 5) << i;
        const int f = lists.first[i];
        EXPECT_EQ(lists.pixel[f + 2], i);
        EXPECT_EQ(lists.weight[f + 2], 1.0f);
        // pi x is rounded to a float before the sine, so the zeros of the
        // kernel at whole distances come out tiny but not zero (except at 3).
        EXPECT_NEAR(lists.weight[f + 1], -2.3e-8, 0.1e-8);
        EXPECT_NEAR(lists.weight[f + 0], 1.2e-8, 0.1e-8);
        EXPECT_EQ(lists.weight[f + 1], lists.weight[f + 3]);
    }
    std::mt19937 rng(3);
    QImage source = RandomPicture(50, 40, rng);
    QImage destination(50, 40, kPictureFormat);
    ResampleImage(source, destination, Lanczos3Kernel, 3.0f);
    EXPECT_EQ(destination, source);
}

TEST(Resample, SameSizeBoxHasOneWeightPerPixel) {
    const auto lists = resample::BuildWeightLists(1.0f, 20, 20, BoxKernel, 0.5f);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(lists.Size(i), 1);
        EXPECT_EQ(lists.pixel[lists.first[i]], i);
        EXPECT_EQ(lists.weight[lists.first[i]], 1.0f);
    }
}

TEST(Resample, ShrinkingToThumbnailWidthMirrorsAtBothEnds) {
    const float s = resample::ScaleFactor(130, 800);
    EXPECT_EQ(s, float(129.0 / 799.0));
    const auto lists = resample::BuildWeightLists(s, 800, 130, Lanczos3Kernel, 3.0f);
    for (int i = 0; i < 130; ++i) {
        EXPECT_GE(lists.Size(i), 36);
        EXPECT_LE(lists.Size(i), 39);
    }
    // The first list starts at -18: index 1 .. 18 come in twice, mirrored.
    auto count = [&](int list, int pixel) {
        int n = 0;
        for (int t = lists.first[list]; t < lists.first[list + 1]; ++t)
            n += lists.pixel[t] == pixel;
        return n;
    };
    EXPECT_EQ(lists.pixel[0], 18);
    EXPECT_EQ(count(0, 5), 2);
    EXPECT_EQ(count(0, 0), 1);
    // At the far end index 800 mirrors to 799, so the last pixel comes in twice.
    EXPECT_EQ(count(129, 799 - 5), 2);
    EXPECT_EQ(count(129, 799), 2);
}

TEST(Resample, ToByteRoundsHalfToEvenAndClamps) {
    EXPECT_EQ(ToByte(2.5f), 2);
    EXPECT_EQ(ToByte(3.5f), 4);
    EXPECT_EQ(ToByte(255.2f), 255);
    EXPECT_EQ(ToByte(255.6f), 255);
    EXPECT_EQ(ToByte(-0.4f), 0);
    EXPECT_EQ(ToByte(-3000.0f), 0);
    EXPECT_EQ(ToByte(1e30f), 255);
    EXPECT_EQ(ToByte(127.49f), 127);
}

TEST(Resample, HalfwaySumsRoundToEven) {
    // Doubling with "Triangle" puts every odd destination pixel halfway
    // between two source pixels, weights 0.5 and 0.5.
    QImage source(10, 10, kPictureFormat);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            std::fill_n(source.scanLine(y) + 3 * x, 3, std::uint8_t(x + 1));
    QImage destination(19, 10, kPictureFormat);
    ResampleImage(source, destination, TriangleKernel, 1.0f);
    const std::uint8_t *row = destination.constScanLine(4);
    EXPECT_EQ(row[3 * 1], 2); // 1.5
    EXPECT_EQ(row[3 * 3], 2); // 2.5
    EXPECT_EQ(row[3 * 5], 4); // 3.5
    EXPECT_EQ(row[3 * 7], 4); // 4.5
    EXPECT_EQ(row[3 * 18], 10);
}

TEST(Resample, EmptySourceIsRefusedAndDestinationUntouched) {
    QImage empty;
    QImage destination(20, 20, QImage::Format_RGB32);
    destination.fill(Qt::red);
    try {
        ResampleImage(empty, destination, Lanczos3Kernel, 3.0f);
        FAIL() << "no error";
    } catch (const ResampleError &error) {
        EXPECT_STREQ(error.what(), "Source bitmap too small");
    }
    EXPECT_EQ(destination.format(), QImage::Format_RGB32);
    EXPECT_EQ(destination.pixel(5, 5), qRgb(255, 0, 0));
}

TEST(Resample, TinyPicturesStayInsideTheirPixels) {
    // Below the sizes the program uses the weights reach past one mirroring;
    // the result must still come from the picture's own pixels.
    QImage source(2, 2, kPictureFormat);
    source.fill(QColor(100, 100, 100));
    QImage destination(9, 1, kPictureFormat);
    ResampleImage(source, destination, Lanczos3Kernel, 3.0f);
    for (int x = 0; x < 9; ++x)
        EXPECT_NEAR(qRed(destination.pixel(x, 0)), 100, 2) << x;
    // One source pixel, and a destination of one pixel (whose scale would
    // otherwise be 0).
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(QColor(40, 80, 120));
    QImage wide(12, 1, QImage::Format_RGB32);
    ResampleImage(dot, wide, Lanczos3Kernel, 3.0f);
    ASSERT_TRUE(IsPicture(wide));
    EXPECT_EQ(wide.pixelColor(11, 0), QColor(40, 80, 120));
    QImage single(1, 1, kPictureFormat);
    ResampleImage(source, single, MitchellKernel, 2.0f);
    EXPECT_NEAR(qRed(single.pixel(0, 0)), 100, 2);
}

} // namespace
} // namespace velmora
