#pragma once
// Separable image resampling: a horizontal pass from the source into an
// intermediate picture, then a vertical pass into the destination, with one of
// seven filter kernels. The arithmetic is fixed to the bit: kernels, weights
// and channel sums are 32-bit floats rounded when stored, each sum adds its
// source weights in list order, edges are mirrored, weights are not
// normalised, and sums become bytes rounding half to even. Thumbnails and
// snapshots are made with "Lanczos3" (support 3).

#include "pictures/picture.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace velmora {

// An even function from float to float that is zero outside its support.
using ResampleKernel = float (*)(float);

struct ResampleFilter {
    const char *Name;
    ResampleKernel Kernel;
    float Support;
};

float BoxKernel(float x);
float TriangleKernel(float x);
float HermiteKernel(float x);
float BellKernel(float x);
float BSplineKernel(float x);
float Lanczos3Kernel(float x);
float MitchellKernel(float x);

inline constexpr std::array<ResampleFilter, 7> ResampleFilterTable{{
    {"Box", BoxKernel, 0.5f},
    {"Triangle", TriangleKernel, 1.0f},
    {"Hermite", HermiteKernel, 1.0f},
    {"Bell", BellKernel, 1.5f},
    {"B-Spline", BSplineKernel, 2.0f},
    {"Lanczos3", Lanczos3Kernel, 3.0f},
    {"Mitchell", MitchellKernel, 2.0f},
}};
inline constexpr int kLanczos3Index = 5;

// Raised for pictures that cannot be resampled ("Source bitmap too small").
class ResampleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Scales source to the size destination already has. The source is converted
// to the picture format in place when it is not in it; destination becomes a
// picture of its size, its content overwritten. Raises ResampleError when
// either picture is empty; the destination is then untouched.
void ResampleImage(QImage &source, QImage &destination, ResampleKernel kernel, float support);

// The usual call: source scaled to width x height with "Lanczos3".
Picture ResampleImage(QImage &source, int width, int height);

// A channel sum as a byte: above 255 gives 255, below 0 gives 0, otherwise the
// nearest integer with ties to even (2.5 gives 2, 3.5 gives 4).
std::uint8_t ToByte(float sum);

} // namespace velmora
