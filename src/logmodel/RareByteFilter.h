#pragma once

#include "LiteralFinder.h"

#include <array>
#include <string_view>

// The first and cheapest test a line meets: a line whose bytes lack one byte
// of the literal cannot show the literal, since its visible text keeps only
// bytes of the line (a shown caret is one of its own carets). The byte is
// the one of the literal least frequent in a sample of the log (a rough
// guess of log text breaks ties), so most lines fail fast; when case is
// ignored, every byte of its case class is looked for.
class RareByteFilter {
public:
    static constexpr int kMaxBytes = 4;

    RareByteFilter(std::string_view literal, const ByteFold& fold, std::string_view sample = {});

    // False only when the bytes cannot hold the literal.
    bool MayHold(std::string_view bytes) const;

    // The bytes looked for: one, or a case class.
    std::string_view bytes() const { return {bytes_.data(), static_cast<std::size_t>(count_)}; }

private:
    std::array<char, kMaxBytes> bytes_{};
    int count_ = 0;
};

// The next place of any of a filter's bytes in one long stretch of memory,
// read forwards. Each byte's next place is remembered, so a stretch is read
// once however often it is asked about, by one search or by the searches
// after it (Find next, every hit of a long line) as long as they go forwards.
class ForwardByteScan {
public:
    ForwardByteScan(const RareByteFilter& filter, const char* end);

    // The first byte at or after `from` that is one of the filter's, or null.
    const char* Next(const char* from);

    std::string_view bytes() const { return {bytes_.data(), count_}; }
    const char* end() const { return end_; }

private:
    // A copy: the scan outlives the filter it was made from.
    std::array<char, RareByteFilter::kMaxBytes> bytes_{};
    std::size_t count_ = 0;
    const char* end_;
    // The lowest place asked about: what was not found past it is not there.
    const char* lowest_ = nullptr;
    std::array<const char*, RareByteFilter::kMaxBytes> next_{};
    std::array<bool, RareByteFilter::kMaxBytes> known_{};
};
