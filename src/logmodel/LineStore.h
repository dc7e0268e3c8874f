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

    // The record of a stored line, 0 <= i < lineCount(), whose page exists.
    const LogLine& Record(int i) const {
        return pages_[static_cast<std::size_t>(i) >> kPageBits][i & kPageMask];
    }

    // Splits the bytes [from, size) of the file at `data` at each LF into
    // line records appended after those already stored (a CR right before
    // the LF is not part of the line) and returns the offset just past the
    // last LF, where the next line will begin. Bytes after the last LF form
    // no line yet: the caller passes them again once more of the file is
    // there, so a line or a CR LF pair split across two writes comes out
    // whole.
    std::int64_t Append(const char* data, std::int64_t from, std::int64_t size);
    // Forgets every line; the pages stay for the lines to come.
    void Clear() { lineCount_ = 0; }

    int lineCount() const { return lineCount_; }

    std::size_t pagesMade() const;

private:
    LogLine* MakePage(std::size_t page);

    class RecordBlock;
    std::vector<LogLine*> pages_;
    std::vector<std::unique_ptr<RecordBlock>> blocks_;
    int lineCount_ = 0;
};
