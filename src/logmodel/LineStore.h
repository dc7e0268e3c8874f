#pragma once

#include "LogLine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The lines of one log: fixed-size `LogLine` records in pages of 4096, a page
// made the first time a line in it is touched and kept until the store dies
// (a later load reuses it). The page table grows as needed, so the number of
// lines is bounded only by `kMaxLines`.
class LineStore {
public:
    static constexpr int kPageBits = 12;
    static constexpr int kPageSize = 1 << kPageBits;
    static constexpr int kPageMask = kPageSize - 1;
    // Line indexes are 32-bit signed throughout the program.
    static constexpr std::int64_t kMaxLines = 0x7FFFFFFF;

    LineStore();
    ~LineStore();
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    // The record of line i, making its page if needed. No range check: the
    // caller passes 0 <= i < the number of lines split.
    LogLine& Line(int i) {
        const auto page = static_cast<std::size_t>(i) >> kPageBits;
        if (page < pages_.size() && pages_[page] != nullptr) {
            return pages_[page][i & kPageMask];
        }
        return MakePage(page)[i & kPageMask];
    }

    // Splits [data, data + size) at each LF into line records (a CR right
    // before the LF is not part of the line; bytes after the last LF form no
    // line) and returns the number of lines.
    int Split(const char* data, std::int64_t size);

    std::size_t pagesMade() const;

private:
    LogLine* MakePage(std::size_t page);

    class RecordBlock;
    std::vector<LogLine*> pages_;
    std::vector<std::unique_ptr<RecordBlock>> blocks_;
};
