#include "pictures/resample.h"

#include "pictures/resample_passes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora {

// Every kernel works in double on its float argument and rounds its result to
// a float once, at the end; where t squared is marked as rounded it is stored
// in a float first. These roundings are part of the results.

float BoxKernel(float x) {
    // Not made even: x = 0.5 counts, x = -0.5 does not, so at scale 1 exactly
    // one source pixel contributes.
    return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}

float TriangleKernel(float x) {
    const double t = std::fabs(x);
    return t < 1.0 ? static_cast<float>(1.0 - t) : 0.0f;
}

float HermiteKernel(float x) {
    const double t = std::fabs(x);
    if (t < 1.0)
        return static_cast<float>((2.0 * t - 3.0) * (t * t) + 1.0);
    return 0.0f;
}

float BellKernel(float x) {
    const double t = std::fabs(x);
    if (t < 0.5)
        return static_cast<float>(0.75 - t * t);
    if (t < 1.5) {
        const double u = t - 1.5;
        return static_cast<float>(0.5 * (u * u));
    }
    return 0.0f;
}

float BSplineKernel(float x) {
    const double t = std::fabs(x);
    const double tt = static_cast<float>(t * t);
    if (t < 1.0)
        return static_cast<float>(0.5 * tt * t - tt + 2.0 / 3.0);
    if (t < 2.0) {
        const double u = 2.0 - t;
        return static_cast<float>(u * u * u / 6.0);
    }
    return 0.0f;
}

namespace {

// sin(pi x) / (pi x) with pi x rounded to a float before the sine and the
// division.
float Sinc(float x) {
    if (x == 0.0f)
        return 1.0f;
    const double px = static_cast<float>(std::numbers::pi * x);
    return static_cast<float>(std::sin(px) / px);
}

} // namespace

float Lanczos3Kernel(float x) {
    const float t = std::fabs(x);
    if (t < 3.0f) {
        const float third = static_cast<float>(t / 3.0);
        return static_cast<float>(static_cast<double>(Sinc(t)) * Sinc(third));
    }
    return 0.0f;
}

float MitchellKernel(float x) {
    // Mitchell-Netravali cubic with B = C = 1/3.
    const double t = std::fabs(x);
    const double tt = static_cast<float>(t * t);
    if (t < 1.0)
        return static_cast<float>((7.0 * tt * t - 12.0 * tt + 16.0 / 3.0) / 6.0);
    if (t < 2.0)
        return static_cast<float>((-(7.0 / 3.0) * tt * t + 12.0 * tt - 20.0 * t + 32.0 / 3.0) /
                                  6.0);
    return 0.0f;
}

std::uint8_t ToByte(float sum) {
    if (sum > 255.0f)
        return 255;
    if (sum < 0.0f)
        return 0;
    // The default floating-point rounding mode rounds half to even.
    return static_cast<std::uint8_t>(std::lrint(sum));
}

void ResampleImage(QImage &source, QImage &destination, ResampleKernel kernel, float support) {
    resample::ResampleWithSums(source, destination, kernel, support, nullptr);
}

Picture ResampleImage(QImage &source, int width, int height) {
    Picture destination = MakePicture(width, height);
    const ResampleFilter &filter = ResampleFilterTable[kLanczos3Index];
    ResampleImage(source, destination, filter.Kernel, filter.Support);
    return destination;
}

namespace resample {

float ScaleFactor(int destination, int source) {
    if (source == 1 || destination == 1)
        return static_cast<float>(static_cast<double>(destination) / source);
    return static_cast<float>(static_cast<double>(destination - 1) / (source - 1));
}

WeightLists BuildWeightLists(float s, int n, int count, ResampleKernel kernel, float support) {
    float w = support;
    float f = 1.0f;
    if (s < 1.0f) {
        w = static_cast<float>(support / static_cast<double>(s));
        f = static_cast<float>(1.0 / s);
    }
    WeightLists lists;
    lists.first.reserve(count + 1);
    lists.first.push_back(0);
    for (int i = 0; i < count; ++i) {
        const float centre = static_cast<float>(i / static_cast<double>(s));
        const int left = static_cast<int>(std::floor(static_cast<double>(centre) - w));
        const int right = static_cast<int>(std::ceil(static_cast<double>(centre) + w));
        for (int j = left; j <= right; ++j) {
            const float x = static_cast<float>((static_cast<double>(centre) - j) / f);
            const float weight = static_cast<float>(kernel(x) / static_cast<double>(f));
            if (weight == 0.0f)
                continue;
            int p = j < 0 ? -j : (j >= n ? 2 * n - 1 - j : j);
            // One mirroring lands inside whenever the source is long enough
            // for the support; for shorter ones the index is held at the edge
            // instead of reading outside the picture.
            p = std::clamp(p, 0, n - 1);
            lists.pixel.push_back(p);
            lists.weight.push_back(weight);
        }
        lists.first.push_back(static_cast<int>(lists.pixel.size()));
    }
    return lists;
}

} // namespace resample
} // namespace velmora
