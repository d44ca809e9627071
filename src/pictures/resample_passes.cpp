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

#include "pictures/resample_passes.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace velmora::resample {
namespace {

constexpr int kLanes = 8;
using F8 = float __attribute__((vector_size(32), __may_alias__));

// Uninitialised storage for n vectors of eight floats, aligned for
// whole-vector loads and stores. Every user writes each vector before reading
// it, so the buffer is not cleared.
class VectorBuffer {
public:
    explicit VectorBuffer(std::size_t n)
        : storage_(static_cast<float *>(
              std::aligned_alloc(sizeof(F8), std::max<std::size_t>(n, 1) * sizeof(F8)))) {
        if (!storage_)
            throw std::bad_alloc();
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

// The horizontal weight lists as the pass reads them: each tap's pixel as the
// byte offset of its three channel vectors in a block, so that a tap costs
// one load of the offset and no index arithmetic.
struct ColumnTaps {
    const int *first;
    const std::ptrdiff_t *offset;
    const float *weight;
    int count;
};

// The three channel vectors (blue, green, red of eight rows) of the pixel at
// a byte offset in a block.
[[gnu::always_inline]] inline const F8 *TapVectors(const F8 *block, std::ptrdiff_t offset) {
    return reinterpret_cast<const F8 *>(reinterpret_cast<const char *>(block) + offset);
}

// The sums of every destination column for one block of eight rows:
// sums[3 * i + c] holds channel c of column i. Two columns are summed side by
// side so that six independent additions are in flight; each column still
// adds its own taps in its own list order.
[[gnu::always_inline]] inline void ColumnSumsBody(const F8 *block, const ColumnTaps &taps,
                                                  F8 *sums) {
    const int count = taps.count;
    int i = 0;
    for (; i + 1 < count; i += 2) {
        F8 a0 = {}, a1 = {}, a2 = {}, b0 = {}, b1 = {}, b2 = {};
        const int ta = taps.first[i];
        const int tb = taps.first[i + 1];
        const int na = tb - ta;
        const int nb = taps.first[i + 2] - tb;
        const int both = std::min(na, nb);
        const std::ptrdiff_t *oa = taps.offset + ta;
        const std::ptrdiff_t *ob = taps.offset + tb;
        const float *wa = taps.weight + ta;
        const float *wb = taps.weight + tb;
        int u = 0;
        for (; u < both; ++u) {
            const F8 *pa = TapVectors(block, oa[u]);
            const F8 *pb = TapVectors(block, ob[u]);
            const float xa = wa[u];
            const float xb = wb[u];
            a0 = a0 + pa[0] * xa;
            a1 = a1 + pa[1] * xa;
            a2 = a2 + pa[2] * xa;
            b0 = b0 + pb[0] * xb;
            b1 = b1 + pb[1] * xb;
            b2 = b2 + pb[2] * xb;
        }
        for (int v = u; v < na; ++v) {
            const F8 *pa = TapVectors(block, oa[v]);
            a0 = a0 + pa[0] * wa[v];
            a1 = a1 + pa[1] * wa[v];
            a2 = a2 + pa[2] * wa[v];
        }
        for (int v = u; v < nb; ++v) {
            const F8 *pb = TapVectors(block, ob[v]);
            b0 = b0 + pb[0] * wb[v];
            b1 = b1 + pb[1] * wb[v];
            b2 = b2 + pb[2] * wb[v];
        }
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
        for (int t = taps.first[i]; t < taps.first[i + 1]; ++t) {
            const F8 *pa = TapVectors(block, taps.offset[t]);
            a0 = a0 + pa[0] * taps.weight[t];
            a1 = a1 + pa[1] * taps.weight[t];
            a2 = a2 + pa[2] * taps.weight[t];
        }
        sums[3 * i] = a0;
        sums[3 * i + 1] = a1;
        sums[3 * i + 2] = a2;
    }
}

// Each sum as the float value of its byte: clamped to 0 .. 255, then rounded
// half to even by adding and taking away 2^23 (exact in float arithmetic for
// values below 2^23, in the default rounding mode). The same as ToByte.
[[gnu::always_inline]] inline void RoundSumsBody(F8 *sums, int count) {
    const F8 zero = {};
    const F8 top = zero + 255.0f;
    const F8 magic = zero + 8388608.0f;
    for (int k = 0; k < count; ++k) {
        F8 v = sums[k];
        v = v < zero ? zero : v;
        v = v > top ? top : v;
        sums[k] = (v + magic) - magic;
    }
}

// Rounded sums of a block into the intermediate rows: lane l of sums[k] is
// the value at row l, column k. The intermediate picture keeps each byte as
// the float of its value (exactly what the vertical pass would convert it
// to), so that the vertical pass, which reads every value once per tap,
// converts nothing.
[[gnu::always_inline]] inline void StoreRowsBody(const F8 *sums, int from, int count, float *out,
                                                 qsizetype stride, int lanes) {
    for (int k = from; k < count; ++k)
        for (int l = 0; l < lanes; ++l)
            out[l * stride + k] = sums[k][l];
}

// The loops below are compiled twice: for any x86-64 processor, and with AVX
// for the 8-float vectors in one register. Both give the same results; only
// the instructions differ.
using ColumnSumsFn = void (*)(const F8 *, const ColumnTaps &, F8 *);
using RoundAndStoreFn = void (*)(F8 *, int, float *, qsizetype, int);
using RowSumsFn = void (*)(const float *, qsizetype, int, const WeightLists &, int, F8 *);
using RoundToBytesFn = void (*)(F8 *, int, uchar *, int);

void ColumnSumsPlain(const F8 *block, const ColumnTaps &taps, F8 *sums) {
    ColumnSumsBody(block, taps, sums);
}

void RoundAndStorePlain(F8 *sums, int count, float *out, qsizetype stride, int lanes) {
    RoundSumsBody(sums, count);
    StoreRowsBody(sums, 0, count, out, stride, lanes);
}

// One destination row of the vertical pass: the taps are the outer loop, the
// intermediate row (vectors of eight values) the inner one.
void RowSumsPlain(const float *inter, qsizetype stride, int vectors, const WeightLists &lists,
                  int i, F8 *acc) {
    std::fill(acc, acc + vectors, F8{});
    for (int t = lists.first[i]; t < lists.first[i + 1]; ++t) {
        const float *row = inter + lists.pixel[t] * stride;
        const float a = lists.weight[t];
        for (int k = 0; k < vectors; ++k) {
            F8 v;
            for (int j = 0; j < kLanes; ++j)
                v[j] = row[kLanes * k + j];
            acc[k] = acc[k] + v * a;
        }
    }
}

void RoundToBytesPlain(F8 *sums, int vectors, uchar *out, int count) {
    RoundSumsBody(sums, vectors);
    const auto *rounded = reinterpret_cast<const float *>(sums);
    for (int x = 0; x < count; ++x)
        out[x] = static_cast<uchar>(rounded[x]);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) inline __m128i PackToBytes(__m256 v) {
    const __m256i ints = _mm256_cvtps_epi32(v);
    const __m128i words =
        _mm_packs_epi32(_mm256_castsi256_si128(ints), _mm256_extractf128_si256(ints, 1));
    return _mm_packus_epi16(words, words);
}

__attribute__((target("avx"))) void ColumnSumsAvx(const F8 *block, const ColumnTaps &taps,
                                                  F8 *sums) {
    ColumnSumsBody(block, taps, sums);
}

// Eight columns at a time are turned from eight vectors of eight rows into
// eight vectors of eight columns (an 8 x 8 transpose) and stored row by row.
__attribute__((target("avx"))) void RoundAndStoreAvx(F8 *sums, int count, float *out,
                                                     qsizetype stride, int lanes) {
    RoundSumsBody(sums, count);
    int k = 0;
    if (lanes == kLanes) {
        for (; k + 8 <= count; k += 8) {
            const auto *in = reinterpret_cast<const float *>(sums + k);
            __m256 r[8], t[8], u[8];
            for (int j = 0; j < 8; ++j)
                r[j] = _mm256_load_ps(in + 8 * j);
            for (int j = 0; j < 4; ++j) {
                t[2 * j] = _mm256_unpacklo_ps(r[2 * j], r[2 * j + 1]);
                t[2 * j + 1] = _mm256_unpackhi_ps(r[2 * j], r[2 * j + 1]);
            }
            for (int h = 0; h < 2; ++h) {
                u[4 * h + 0] = _mm256_shuffle_ps(t[4 * h + 0], t[4 * h + 2], 0x44);
                u[4 * h + 1] = _mm256_shuffle_ps(t[4 * h + 0], t[4 * h + 2], 0xEE);
                u[4 * h + 2] = _mm256_shuffle_ps(t[4 * h + 1], t[4 * h + 3], 0x44);
                u[4 * h + 3] = _mm256_shuffle_ps(t[4 * h + 1], t[4 * h + 3], 0xEE);
            }
            for (int l = 0; l < 4; ++l) {
                _mm256_store_ps(out + l * stride + k, _mm256_permute2f128_ps(u[l], u[l + 4], 0x20));
                _mm256_store_ps(out + (l + 4) * stride + k,
                                _mm256_permute2f128_ps(u[l], u[l + 4], 0x31));
            }
        }
    }
    StoreRowsBody(sums, k, count, out, stride, lanes);
}

// N taps added to every sum of a row, one after the other in list order;
// Start: the sums begin at zero instead of being loaded.
template <int N, bool Start>
__attribute__((target("avx"))) inline void AddTaps(const float *inter, qsizetype stride,
                                                   int vectors, const WeightLists &lists, int t,
                                                   float *sum) {
    const float *r[N];
    __m256 a[N];
    for (int u = 0; u < N; ++u) {
        r[u] = inter + lists.pixel[t + u] * stride;
        a[u] = _mm256_set1_ps(lists.weight[t + u]);
    }
    for (int k = 0; k < vectors; ++k) {
        float *s = sum + kLanes * k;
        __m256 v = Start ? _mm256_setzero_ps() : _mm256_load_ps(s);
        for (int u = 0; u < N; ++u)
            v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_load_ps(r[u] + kLanes * k), a[u]));
        _mm256_store_ps(s, v);
    }
}

// Up to eight taps are added per pass over the row, so each sum sees the same
// additions in the same order as with one tap per pass, with an eighth of the
// loads and stores of the sums. The first pass starts from zero in registers.
template <bool Start>
__attribute__((target("avx"))) inline int AddTapPass(const float *inter, qsizetype stride,
                                                     int vectors, const WeightLists &lists, int t,
                                                     int left, float *sum) {
    if (left >= 8) {
        AddTaps<8, Start>(inter, stride, vectors, lists, t, sum);
        return 8;
    }
    if (left >= 4) {
        AddTaps<4, Start>(inter, stride, vectors, lists, t, sum);
        return 4;
    }
    if (left >= 2) {
        AddTaps<2, Start>(inter, stride, vectors, lists, t, sum);
        return 2;
    }
    AddTaps<1, Start>(inter, stride, vectors, lists, t, sum);
    return 1;
}

__attribute__((target("avx"))) void RowSumsAvx(const float *inter, qsizetype stride, int vectors,
                                               const WeightLists &lists, int i, F8 *acc) {
    auto *sum = reinterpret_cast<float *>(acc);
    int t = lists.first[i];
    const int end = lists.first[i + 1];
    if (t == end) {
        for (int k = 0; k < vectors; ++k)
            _mm256_store_ps(sum + kLanes * k, _mm256_setzero_ps());
        return;
    }
    t += AddTapPass<true>(inter, stride, vectors, lists, t, end - t, sum);
    while (t < end)
        t += AddTapPass<false>(inter, stride, vectors, lists, t, end - t, sum);
}

__attribute__((target("avx"))) void RoundToBytesAvx(F8 *sums, int vectors, uchar *out, int count) {
    RoundSumsBody(sums, vectors);
    const auto *rounded = reinterpret_cast<const float *>(sums);
    int x = 0;
    for (; x + 8 <= count; x += 8)
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + x),
                         PackToBytes(_mm256_load_ps(rounded + x)));
    for (; x < count; ++x)
        out[x] = static_cast<uchar>(rounded[x]);
}

bool HasAvx() {
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}
#else
bool HasAvx() {
    return false;
}
#endif

struct PassFunctions {
    ColumnSumsFn columnSums = ColumnSumsPlain;
    RoundAndStoreFn roundAndStore = RoundAndStorePlain;
    RowSumsFn rowSums = RowSumsPlain;
    RoundToBytesFn roundToBytes = RoundToBytesPlain;
};

PassFunctions ForThisProcessor() {
    PassFunctions f;
#if defined(__x86_64__) || defined(__i386__)
    if (HasAvx())
        f = {ColumnSumsAvx, RoundAndStoreAvx, RowSumsAvx, RoundToBytesAvx};
#endif
    return f;
}

// Source rows into the intermediate picture: sh rows of dw * 3 bytes,
// stride bytes apart (the rows are padded to whole vectors with zeros).
void HorizontalPass(const QImage &src, const Geometry &g, const WeightLists &lists,
                    const PassFunctions &f, float *inter, qsizetype stride,
                    std::vector<float> *sums) {
    const int rowBytes = g.sw * 3;
    const int count = g.dw * 3;
    VectorBuffer block(rowBytes);
    VectorBuffer columnSums(count);
    std::vector<std::ptrdiff_t> offsets(lists.pixel.size());
    for (std::size_t t = 0; t < offsets.size(); ++t)
        offsets[t] = static_cast<std::ptrdiff_t>(lists.pixel[t]) * 3 * sizeof(F8);
    const ColumnTaps taps{lists.first.data(), offsets.data(), lists.weight.data(), lists.Count()};
    const qsizetype step = src.bytesPerLine();
    const uchar *base = src.constBits();
    for (int r0 = 0; r0 < g.sh; r0 += kLanes) {
        const int lanes = std::min(kLanes, g.sh - r0);
        const uchar *rows[kLanes];
        for (int l = 0; l < kLanes; ++l)
            rows[l] = base + step * (r0 + std::min(l, lanes - 1));
        TransposeRows(rows, rowBytes, block.data());
        F8 *sum = columnSums.data();
        f.columnSums(block.data(), taps, sum);
        if (sums) {
            for (int l = 0; l < lanes; ++l) {
                float *rowSums = sums->data() + static_cast<qsizetype>(r0 + l) * count;
                for (int k = 0; k < count; ++k)
                    rowSums[k] = sum[k][l];
            }
        }
        f.roundAndStore(sum, count, inter + r0 * stride, stride, lanes);
    }
}

void VerticalPass(const float *inter, qsizetype stride, const Geometry &g, const WeightLists &lists,
                  const PassFunctions &f, QImage &dst, std::vector<float> *sums) {
    const int vectors = static_cast<int>(stride / kLanes);
    VectorBuffer accBuffer(vectors);
    F8 *acc = accBuffer.data();
    const int count = g.dw * 3;
    for (int i = 0; i < g.dh; ++i) {
        f.rowSums(inter, stride, vectors, lists, i, acc);
        if (sums)
            std::memcpy(sums->data() + static_cast<qsizetype>(i) * count, acc,
                        sizeof(float) * count);
        f.roundToBytes(acc, vectors, dst.scanLine(i), count);
    }
}

// The weight lists of the last few scalings made on this thread. Thumbnails
// are made again and again at the same few sizes, and building a list costs
// two sines per weight, as much as a small pass; a list depends on nothing but
// its arguments, so a kept one is the same as a new one.
class WeightListCache {
public:
    std::shared_ptr<const WeightLists> Get(float s, int n, int count, ResampleKernel kernel,
                                           float support) {
        for (const Entry &e : entries_) {
            if (e.lists && e.s == s && e.n == n && e.count == count && e.kernel == kernel &&
                e.support == support)
                return e.lists;
        }
        Entry &e = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        e = {s,
             n,
             count,
             kernel,
             support,
             std::make_shared<const WeightLists>(BuildWeightLists(s, n, count, kernel, support))};
        return e.lists;
    }

private:
    struct Entry {
        float s = 0.0f;
        int n = 0;
        int count = 0;
        ResampleKernel kernel = nullptr;
        float support = 0.0f;
        std::shared_ptr<const WeightLists> lists;
    };
    std::array<Entry, 4> entries_;
    std::size_t next_ = 0;
};

std::shared_ptr<const WeightLists> CachedWeightLists(float s, int n, int count,
                                                     ResampleKernel kernel, float support) {
    thread_local WeightListCache cache;
    return cache.Get(s, n, count, kernel, support);
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

    // The intermediate picture, rows padded with zeros to whole vectors. The
    // horizontal pass writes every value before the padding, so only the
    // padding is cleared here.
    const qsizetype stride = (g.dw * 3 + kLanes - 1) / kLanes * kLanes;
    VectorBuffer interBuffer(static_cast<std::size_t>(stride / kLanes) * g.sh);
    float *inter = reinterpret_cast<float *>(interBuffer.data());
    for (int r = 0; r < g.sh; ++r)
        std::fill(inter + r * stride + g.dw * 3, inter + (r + 1) * stride, 0.0f);
    if (sums) {
        sums->horizontal.assign(static_cast<std::size_t>(g.sh) * g.dw * 3, 0.0f);
        sums->vertical.assign(static_cast<std::size_t>(g.dh) * g.dw * 3, 0.0f);
    }
    const PassFunctions f = ForThisProcessor();
    const auto columns = CachedWeightLists(ScaleFactor(g.dw, g.sw), g.sw, g.dw, kernel, support);
    HorizontalPass(source, g, *columns, f, inter, stride, sums ? &sums->horizontal : nullptr);
    const auto rows = CachedWeightLists(ScaleFactor(g.dh, g.sh), g.sh, g.dh, kernel, support);
    VerticalPass(inter, stride, g, *rows, f, destination, sums ? &sums->vertical : nullptr);
}

} // namespace velmora::resample
