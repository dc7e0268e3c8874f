#include "LineStore.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void LineStore::SetEntry(std::int64_t i, Entry_ value) {
    const auto index = static_cast<std::size_t>(i);
    const std::size_t block = index >> kBlockBits;
    while (block >= blocks_.size()) {
        blocks_.push_back(std::make_unique_for_overwrite<Entry_[]>(kBlockEntries));
    }
    blocks_[block][index & (kBlockEntries - 1)] = value;
}

void LineStore::ReserveFor(std::int64_t lines) {
    // Entry `lines` (where the next line starts) has a place too.
    const auto blocks = static_cast<std::size_t>((lines + 1) >> kBlockBits) + 1;
    blocks_.reserve(std::max(blocks, blocks_.size()));
}

void LineStore::Clear() {
    lineCount_ = 0;
    blocks_.clear();
}

namespace {

// The LFs among the 64 bytes at `p`, one bit each (bit i for p[i]).
std::uint64_t LineFeedMask(const char* p) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int chunk = 0; chunk < 4; ++chunk) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * chunk));
        const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
        mask |= std::uint64_t{bits} << (16 * chunk);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) {
        mask |= std::uint64_t{p[i] == '\n'} << i;
    }
    return mask;
#endif
}

} // namespace

// Most lines are a few dozen bytes: finding their ends 64 bytes at a time
// costs far less than a search per line.
std::int64_t LineStore::Append(const char* data, std::int64_t from, std::int64_t scanFrom,
                               std::int64_t size) {
    if (lineCount_ == 0) {
        SetEntry(0, static_cast<Entry_>(from));
    }
    std::int64_t lineStart = from;
    // Stores the line that ends at the LF at `lf`; false once the store is full.
    const auto take = [&](std::int64_t lf) {
        if (lineCount_ >= kMaxLines) {
            return false;
        }
        const bool cr = lf > lineStart && data[lf - 1] == '\r';
        SetEntry(lineCount_, static_cast<Entry_>(lineStart) | (cr ? kCrFlag : 0));
        ++lineCount_;
        lineStart = lf + 1;
        SetEntry(lineCount_, static_cast<Entry_>(lineStart));
        return true;
    };
    std::int64_t at = std::max(from, scanFrom);
    for (; size - at >= 64; at += 64) {
        for (std::uint64_t mask = LineFeedMask(data + at); mask != 0; mask &= mask - 1) {
            if (!take(at + std::countr_zero(mask))) {
                return lineStart;
            }
        }
    }
    while (at < size) {
        const auto* lf = static_cast<const char*>(
            std::memchr(data + at, '\n', static_cast<std::size_t>(size - at)));
        if (lf == nullptr) {
            break; // an unterminated last line is not stored
        }
        if (!take(lf - data)) {
            break;
        }
        at = lf - data + 1;
    }
    return lineStart;
}
