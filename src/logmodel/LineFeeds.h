#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Byte searches over lines that are too short for a library call to pay:
// sixteen bytes at a time where SSE2 is there, a byte at a time elsewhere.

// The LFs among the bytes [from, to), and where the last of them is (null
// when there is none). Each compare adds to byte counters that are summed
// before they can overflow, so no population count is needed.
inline std::int64_t CountLineFeeds(const char* from, const char* to,
                                   const char** lastLf = nullptr) {
    std::int64_t count = 0;
    const char* last = nullptr;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (to - from >= 16) {
        __m128i counters = zero;
        for (int round = 0; round < 255 && to - from >= 16; ++round, from += 16) {
            const __m128i hits =
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), lf);
            counters = _mm_sub_epi8(counters, hits);
            if (lastLf != nullptr) {
                if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0) {
                    last = from + (31 - std::countl_zero(mask));
                }
            }
        }
        const __m128i sums = _mm_sad_epu8(counters, zero);
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
#endif
    for (; from < to; ++from) {
        if (*from == '\n') {
            ++count;
            last = from;
        }
    }
    if (lastLf != nullptr) {
        *lastLf = last;
    }
    return count;
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
