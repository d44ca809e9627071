#include "sitesearch/byte_find.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora {

qsizetype FindBytes(QByteArrayView haystack, QByteArrayView needle, qsizetype from) {
    if (from < 0 || from > haystack.size())
        return -1;
    const qsizetype n = needle.size();
    if (n == 0)
        return from;
    const char *s = haystack.data() + from;
    const size_t length = size_t(haystack.size() - from);
    if (n == 1) {
        const void *hit = std::memchr(s, needle[0], length);
        return hit ? static_cast<const char *>(hit) - haystack.data() : -1;
    }
    size_t i = 0;
#if defined(__SSE2__)
    // Candidates are where both the first and the last byte of the needle
    // sit at the right distance; only those are compared whole. This skips
    // ordinary text several times faster than a byte-by-byte search.
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[n - 1]);
    for (; i + size_t(n) - 1 + 16 <= length; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + n - 1));
        unsigned mask = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (std::memcmp(s + i + bit + 1, needle.data() + 1, size_t(n - 2)) == 0)
                return from + qsizetype(i) + bit;
            mask &= mask - 1;
        }
    }
#endif
    // The tail (or every byte, without SSE2) goes to the C library.
    const void *hit = ::memmem(s + i, length - i, needle.data(), size_t(n));
    return hit ? static_cast<const char *>(hit) - haystack.data() : -1;
}

ByteKinds ScanByteKinds(QByteArrayView bytes) {
    const char *s = bytes.data();
    const size_t length = size_t(bytes.size());
    size_t i = 0;
    ByteKinds kinds;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i nuls = zero, crs = zero, high = zero;
    for (; i + 16 <= length; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        nuls = _mm_or_si128(nuls, _mm_cmpeq_epi8(v, zero));
        crs = _mm_or_si128(crs, _mm_cmpeq_epi8(v, cr));
        high = _mm_or_si128(high, v); // the top bit of each byte is kept
    }
    kinds.nul = _mm_movemask_epi8(nuls) != 0;
    kinds.cr = _mm_movemask_epi8(crs) != 0;
    kinds.nonAscii = _mm_movemask_epi8(high) != 0;
#endif
    for (; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        kinds.nul |= c == 0;
        kinds.cr |= c == '\r';
        kinds.nonAscii |= c >= 0x80;
    }
    return kinds;
}

} // namespace velmora
