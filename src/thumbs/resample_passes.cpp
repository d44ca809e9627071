// The two passes of the resampler. Both keep every output sample's sum in
// list order and vectorise across independent samples only, never across the
// taps of one sum, so the results are the same as those of a plain loop:
// - horizontal pass: eight source rows at a time are turned into floats laid
//   out pixel by pixel with the eight rows side by side, and each tap then
//   updates eight rows' sums with one vector multiply and one vector add;
// - vertical pass: for each destination row the taps are the outer loop and
//   the whole intermediate row is the vector.
// The library is built with -ffp-contract=off: a fused multiply-add would
// round once where the sums round twice.

#include "resample_passes.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::resample {
namespace {

constexpr int kLanes = 8;
using F8 = float __attribute__((vector_size(32), __may_alias__));
using F8Storage = float __attribute__((vector_size(32)));

// Zero-filled, vector-aligned storage for n vectors of eight floats.
class VectorBuffer {
public:
    explicit VectorBuffer(std::size_t n) : storage_(n, F8Storage{}) {}
    F8 *data() { return reinterpret_cast<F8 *>(storage_.data()); }
    std::size_t size() const { return storage_.size(); }

private:
    std::vector<F8Storage> storage_;
};

// Bytes offset .. offset + 15 of eight rows as floats: out[k][lane] is
// rows[lane][offset + k].
void TransposeSixteen(const uchar *const rows[kLanes], int offset, F8 *out) {
#if defined(__SSE2__)
    __m128i a[kLanes];
    for (int l = 0; l < kLanes; ++l)
        a[l] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[l] + offset));
    // Interleave bytes of row pairs, then words of pair pairs, then double
    // words of the two halves: each result holds two offsets of all eight rows.
    __m128i b[8];
    for (int p = 0; p < 4; ++p) {
        b[2 * p] = _mm_unpacklo_epi8(a[2 * p], a[2 * p + 1]);
        b[2 * p + 1] = _mm_unpackhi_epi8(a[2 * p], a[2 * p + 1]);
    }
    __m128i c[4], d[4];
    c[0] = _mm_unpacklo_epi16(b[0], b[2]);
    c[1] = _mm_unpackhi_epi16(b[0], b[2]);
    c[2] = _mm_unpacklo_epi16(b[1], b[3]);
    c[3] = _mm_unpackhi_epi16(b[1], b[3]);
    d[0] = _mm_unpacklo_epi16(b[4], b[6]);
    d[1] = _mm_unpackhi_epi16(b[4], b[6]);
    d[2] = _mm_unpacklo_epi16(b[5], b[7]);
    d[3] = _mm_unpackhi_epi16(b[5], b[7]);
    const __m128i zero = _mm_setzero_si128();
    auto *dst = reinterpret_cast<float *>(out);
    for (int q = 0; q < 4; ++q) {
        const __m128i e[2] = {_mm_unpacklo_epi32(c[q], d[q]), _mm_unpackhi_epi32(c[q], d[q])};
        for (const __m128i &v : e) {
            const __m128i lo = _mm_unpacklo_epi8(v, zero);
            const __m128i hi = _mm_unpackhi_epi8(v, zero);
            _mm_storeu_ps(dst + 0, _mm_cvtepi32_ps(_mm_unpacklo_epi16(lo, zero)));
            _mm_storeu_ps(dst + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(lo, zero)));
            _mm_storeu_ps(dst + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(hi, zero)));
            _mm_storeu_ps(dst + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(hi, zero)));
            dst += 16;
        }
    }
#else
    for (int k = 0; k < 16; ++k)
        for (int l = 0; l < kLanes; ++l)
            out[k][l] = rows[l][offset + k];
#endif
}

void TransposeRows(const uchar *const rows[kLanes], int bytes, F8 *out) {
    int o = 0;
    for (; o + 16 <= bytes; o += 16)
        TransposeSixteen(rows, o, out + o);
    for (; o < bytes; ++o)
        for (int l = 0; l < kLanes; ++l)
            out[o][l] = rows[l][o];
}

struct Geometry {
    int sw, sh, dw, dh;
};

// Source rows into the intermediate: inter holds sh rows of dw * 3 floats
// (each the byte value of a rounded sum), interStride floats apart.
void HorizontalPass(const QImage &src, const Geometry &g, const WeightLists &lists, float *inter,
                    int interStride, std::vector<float> *sums) {
    const int rowBytes = g.sw * 3;
    VectorBuffer block(rowBytes);
    const qsizetype step = src.bytesPerLine();
    const uchar *base = src.constBits();
    for (int r0 = 0; r0 < g.sh; r0 += kLanes) {
        const int lanes = std::min(kLanes, g.sh - r0);
        const uchar *rows[kLanes];
        for (int l = 0; l < kLanes; ++l)
            rows[l] = base + step * (r0 + std::min(l, lanes - 1));
        TransposeRows(rows, rowBytes, block.data());
        for (int i = 0; i < g.dw; ++i) {
            F8 s0 = {}, s1 = {}, s2 = {};
            for (int t = lists.first[i]; t < lists.first[i + 1]; ++t) {
                const F8 *px = block.data() + 3 * lists.pixel[t];
                const float a = lists.weight[t];
                s0 = s0 + px[0] * a;
                s1 = s1 + px[1] * a;
                s2 = s2 + px[2] * a;
            }
            for (int l = 0; l < lanes; ++l) {
                float *out = inter + static_cast<qsizetype>(r0 + l) * interStride + 3 * i;
                out[0] = ToByte(s0[l]);
                out[1] = ToByte(s1[l]);
                out[2] = ToByte(s2[l]);
                if (sums) {
                    float *sum = sums->data() + (static_cast<qsizetype>(r0 + l) * g.dw + i) * 3;
                    sum[0] = s0[l];
                    sum[1] = s1[l];
                    sum[2] = s2[l];
                }
            }
        }
    }
}

void VerticalPass(const F8 *inter, int interVectors, const Geometry &g, const WeightLists &lists,
                  QImage &dst, std::vector<float> *sums) {
    VectorBuffer accBuffer(interVectors);
    F8 *acc = accBuffer.data();
    const int rowFloats = g.dw * 3;
    for (int i = 0; i < g.dh; ++i) {
        std::fill(acc, acc + interVectors, F8{});
        for (int t = lists.first[i]; t < lists.first[i + 1]; ++t) {
            const F8 *row = inter + static_cast<qsizetype>(lists.pixel[t]) * interVectors;
            const float a = lists.weight[t];
            for (int k = 0; k < interVectors; ++k)
                acc[k] = acc[k] + row[k] * a;
        }
        const auto *sum = reinterpret_cast<const float *>(acc);
        uchar *out = dst.scanLine(i);
        for (int x = 0; x < rowFloats; ++x)
            out[x] = ToByte(sum[x]);
        if (sums)
            std::memcpy(sums->data() + static_cast<qsizetype>(i) * rowFloats, sum,
                        sizeof(float) * rowFloats);
    }
}

} // namespace

void ResampleWithSums(QImage &source, QImage &destination, ResampleKernel kernel, float support,
                      PassSums *sums) {
    if (source.width() < 1 || source.height() < 1)
        throw ResampleError("Source bitmap too small");
    if (destination.width() < 1 || destination.height() < 1)
        throw ResampleError("Destination bitmap too small");
    const Geometry g{source.width(), source.height(), destination.width(), destination.height()};
    ConvertToPicture(source);
    ConvertToPicture(destination);
    if (source.isNull() || destination.isNull())
        throw ResampleError("Not enough memory to resample the picture");

    // Intermediate rows padded to whole vectors; the padding stays zero.
    const int interVectors = (g.dw * 3 + kLanes - 1) / kLanes;
    VectorBuffer inter(static_cast<std::size_t>(interVectors) * g.sh);
    if (sums) {
        sums->horizontal.assign(static_cast<std::size_t>(g.sh) * g.dw * 3, 0.0f);
        sums->vertical.assign(static_cast<std::size_t>(g.dh) * g.dw * 3, 0.0f);
    }
    {
        const WeightLists lists =
            BuildWeightLists(ScaleFactor(g.dw, g.sw), g.sw, g.dw, kernel, support);
        HorizontalPass(source, g, lists, reinterpret_cast<float *>(inter.data()),
                       interVectors * kLanes, sums ? &sums->horizontal : nullptr);
    }
    const WeightLists lists =
        BuildWeightLists(ScaleFactor(g.dh, g.sh), g.sh, g.dh, kernel, support);
    VerticalPass(inter.data(), interVectors, g, lists, destination,
                 sums ? &sums->vertical : nullptr);
}

} // namespace velmora::resample
