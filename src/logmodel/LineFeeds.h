#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

// Byte searches over lines that are too short for a library call to pay:
// sixteen bytes at a time where SSE2 is there, a byte at a time elsewhere.

namespace line_feeds_detail {

// Counts LFs from `from` on, `width` bytes at a time, in byte counters that
// are summed before they can overflow (no population count is needed);
// leaves `from` where fewer than `width` bytes remain.
#if defined(__SSE2__)
inline std::int64_t CountSse2(const char*& from, const char* to) {
    std::int64_t count = 0;
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (to - from >= 16) {
        __m128i counters = zero;
        for (int round = 0; round < 255 && to - from >= 16; ++round, from += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(bytes, lf));
        }
        const __m128i sums = _mm_sad_epu8(counters, zero);
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
    return count;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUARVEL_LINE_FEEDS_AVX2 1
__attribute__((target("avx2"))) inline std::int64_t CountAvx2(const char*& from, const char* to) {
    std::int64_t count = 0;
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    while (to - from >= 32) {
        __m256i counters = zero;
        for (int round = 0; round < 255 && to - from >= 32; ++round, from += 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
            counters = _mm256_sub_epi8(counters, _mm256_cmpeq_epi8(bytes, lf));
        }
        const __m256i sums = _mm256_sad_epu8(counters, zero);
        count += _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) +
                 _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3);
    }
    return count;
}

inline bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2") != 0;
    return has;
}
#endif

} // namespace line_feeds_detail

// The LFs among the bytes [from, to): the lines that end there.
inline std::int64_t CountLineFeeds(const char* from, const char* to) {
    std::int64_t count = 0;
#if defined(QUARVEL_LINE_FEEDS_AVX2)
    if (to - from >= 64 && line_feeds_detail::HasAvx2()) {
        count += line_feeds_detail::CountAvx2(from, to);
    }
#endif
#if defined(__SSE2__)
    count += line_feeds_detail::CountSse2(from, to);
#endif
    for (; from < to; ++from) {
        count += *from == '\n' ? 1 : 0;
    }
    return count;
}

// The last LF among the bytes [from, to), or null.
inline const char* LastLineFeed(const char* from, const char* to) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    while (to - from >= 16) {
        to -= 16;
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(to)), lf)));
        if (mask != 0) {
            return to + (31 - std::countl_zero(mask));
        }
    }
#endif
    while (to > from) {
        if (*--to == '\n') {
            return to;
        }
    }
    return nullptr;
}

// The LF that ends the line going on at `from` (or `to` when none comes
// before it), and whether a caret lies in [from, that LF).
struct LineEnd {
    const char* lf;
    bool caret;
};
inline LineEnd FindLineEnd(const char* from, const char* to) {
    bool caret = false;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i hat = _mm_set1_epi8('^');
    for (; to - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
        const auto carets = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, hat)));
        if (ends != 0) {
            const int at = std::countr_zero(ends);
            return {from + at, caret || (carets & ((1u << at) - 1)) != 0};
        }
        caret = caret || carets != 0;
    }
#endif
    for (; from < to && *from != '\n'; ++from) {
        caret = caret || *from == '^';
    }
    return {from, caret};
}
