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
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::resample {
namespace {

constexpr int kLanes = 8;
using F8 = float __attribute__((vector_size(32), __may_alias__));

// Zero-filled storage for n vectors of eight floats, aligned for whole-vector
// loads and stores.
class VectorBuffer {
public:
    explicit VectorBuffer(std::size_t n)
        : storage_(static_cast<float *>(
              std::aligned_alloc(sizeof(F8), std::max<std::size_t>(n, 1) * sizeof(F8)))) {
        if (!storage_)
            throw std::bad_alloc();
        std::memset(static_cast<void *>(storage_.get()), 0, n * sizeof(F8));
    }
    F8 *data() { return reinterpret_cast<F8 *>(storage_.get()); }

private:
    struct Free {
        void operator()(float *p) const { std::free(p); }
    };
    std::unique_ptr<float, Free> storage_;
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

// Adds the taps of one horizontal weight list to three vector sums (blue,
// green, red of eight rows).
#define VELMORA_ADD_TAP(block, lists, t, s0, s1, s2)                                               \
    do {                                                                                           \
        const F8 *px_ = (block) + 3 * (lists).pixel[t];                                            \
        const float a_ = (lists).weight[t];                                                        \
        s0 = s0 + px_[0] * a_;                                                                     \
        s1 = s1 + px_[1] * a_;                                                                     \
        s2 = s2 + px_[2] * a_;                                                                     \
    } while (false)

// The sums of every destination column for one block of eight rows:
// sums[3 * i + c] holds channel c of column i. Two columns are summed side by
// side so that six independent additions are in flight; each column still
// adds its own taps in its own list order.
[[gnu::always_inline]] inline void ColumnSumsBody(const F8 *block, const WeightLists &lists,
                                                  F8 *sums) {
    const int count = lists.Count();
    int i = 0;
    for (; i + 1 < count; i += 2) {
        F8 a0 = {}, a1 = {}, a2 = {}, b0 = {}, b1 = {}, b2 = {};
        int ta = lists.first[i];
        int tb = lists.first[i + 1];
        const int ea = lists.first[i + 1];
        const int eb = lists.first[i + 2];
        for (; ta < ea && tb < eb; ++ta, ++tb) {
            VELMORA_ADD_TAP(block, lists, ta, a0, a1, a2);
            VELMORA_ADD_TAP(block, lists, tb, b0, b1, b2);
        }
        for (; ta < ea; ++ta)
            VELMORA_ADD_TAP(block, lists, ta, a0, a1, a2);
        for (; tb < eb; ++tb)
            VELMORA_ADD_TAP(block, lists, tb, b0, b1, b2);
        F8 *out = sums + 3 * i;
        out[0] = a0;
        out[1] = a1;
        out[2] = a2;
        out[3] = b0;
        out[4] = b1;
        out[5] = b2;
    }
    if (i < count) {
        F8 a0 = {}, a1 = {}, a2 = {};
        for (int t = lists.first[i]; t < lists.first[i + 1]; ++t)
            VELMORA_ADD_TAP(block, lists, t, a0, a1, a2);
        sums[3 * i] = a0;
        sums[3 * i + 1] = a1;
        sums[3 * i + 2] = a2;
    }
}
#undef VELMORA_ADD_TAP

// One destination row of the vertical pass: the taps are the outer loop, the
// intermediate row (vectors F8 wide) the inner one.
[[gnu::always_inline]] inline void RowSumsBody(const F8 *inter, int vectors,
                                               const WeightLists &lists, int i, F8 *acc) {
    std::fill(acc, acc + vectors, F8{});
    for (int t = lists.first[i]; t < lists.first[i + 1]; ++t) {
        const F8 *row = inter + static_cast<qsizetype>(lists.pixel[t]) * vectors;
        const float a = lists.weight[t];
        for (int k = 0; k < vectors; ++k)
            acc[k] = acc[k] + row[k] * a;
    }
}

// The same loops compiled twice: for any x86-64 processor, and with AVX for
// the 8-float vectors in one register. Both give the same results; only the
// instruction width differs.
using ColumnSumsFn = void (*)(const F8 *, const WeightLists &, F8 *);
using RowSumsFn = void (*)(const F8 *, int, const WeightLists &, int, F8 *);

void ColumnSumsPlain(const F8 *block, const WeightLists &lists, F8 *sums) {
    ColumnSumsBody(block, lists, sums);
}
void RowSumsPlain(const F8 *inter, int vectors, const WeightLists &lists, int i, F8 *acc) {
    RowSumsBody(inter, vectors, lists, i, acc);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ColumnSumsAvx(const F8 *block, const WeightLists &lists,
                                                  F8 *sums) {
    ColumnSumsBody(block, lists, sums);
}
__attribute__((target("avx"))) void RowSumsAvx(const F8 *inter, int vectors,
                                               const WeightLists &lists, int i, F8 *acc) {
    RowSumsBody(inter, vectors, lists, i, acc);
}
bool HasAvx() {
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}
ColumnSumsFn ColumnSums() {
    return HasAvx() ? ColumnSumsAvx : ColumnSumsPlain;
}
RowSumsFn RowSums() {
    return HasAvx() ? RowSumsAvx : RowSumsPlain;
}
#else
ColumnSumsFn ColumnSums() {
    return ColumnSumsPlain;
}
RowSumsFn RowSums() {
    return RowSumsPlain;
}
#endif

// Source rows into the intermediate: inter holds sh rows of dw * 3 floats
// (each the byte value of a rounded sum), interStride floats apart.
void HorizontalPass(const QImage &src, const Geometry &g, const WeightLists &lists, float *inter,
                    int interStride, std::vector<float> *sums) {
    const int rowBytes = g.sw * 3;
    VectorBuffer block(rowBytes);
    VectorBuffer columnSums(static_cast<std::size_t>(g.dw) * 3);
    const ColumnSumsFn columnSumsOf = ColumnSums();
    const qsizetype step = src.bytesPerLine();
    const uchar *base = src.constBits();
    for (int r0 = 0; r0 < g.sh; r0 += kLanes) {
        const int lanes = std::min(kLanes, g.sh - r0);
        const uchar *rows[kLanes];
        for (int l = 0; l < kLanes; ++l)
            rows[l] = base + step * (r0 + std::min(l, lanes - 1));
        TransposeRows(rows, rowBytes, block.data());
        columnSumsOf(block.data(), lists, columnSums.data());
        const F8 *sum = columnSums.data();
        for (int l = 0; l < lanes; ++l) {
            float *out = inter + static_cast<qsizetype>(r0 + l) * interStride;
            for (int k = 0; k < g.dw * 3; ++k)
                out[k] = ToByte(sum[k][l]);
            if (sums) {
                float *rowSums = sums->data() + static_cast<qsizetype>(r0 + l) * g.dw * 3;
                for (int k = 0; k < g.dw * 3; ++k)
                    rowSums[k] = sum[k][l];
            }
        }
    }
}

void VerticalPass(const F8 *inter, int interVectors, const Geometry &g, const WeightLists &lists,
                  QImage &dst, std::vector<float> *sums) {
    VectorBuffer accBuffer(interVectors);
    F8 *acc = accBuffer.data();
    const RowSumsFn rowSumsOf = RowSums();
    const int rowFloats = g.dw * 3;
    for (int i = 0; i < g.dh; ++i) {
        rowSumsOf(inter, interVectors, lists, i, acc);
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
