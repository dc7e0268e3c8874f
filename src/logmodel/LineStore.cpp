#include "LineStore.h"

#include <algorithm>
#include <cstring>
#include <new>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace {
// Pages are handed out from blocks of this many pages. A block is reserved as
// zero-filled virtual memory, so pages that are never touched cost nothing;
// large blocks let the system back them with huge pages, which makes the
// first touch of millions of records several times cheaper.
constexpr std::size_t kPagesPerBlock = 64;
constexpr std::size_t kPageBytes = sizeof(LogLine) * LineStore::kPageSize;
} // namespace

class LineStore::RecordBlock {
public:
    RecordBlock() {
        const std::size_t bytes = kPageBytes * kPagesPerBlock;
#ifndef _WIN32
        void* memory =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            throw std::bad_alloc();
        }
#ifdef MADV_HUGEPAGE
        madvise(memory, bytes, MADV_HUGEPAGE);
#endif
        memory_ = static_cast<LogLine*>(memory);
#else
        owned_ = std::make_unique<LogLine[]>(kPagesPerBlock * LineStore::kPageSize);
        memory_ = owned_.get();
#endif
    }
    ~RecordBlock() {
#ifndef _WIN32
        munmap(memory_, kPageBytes * kPagesPerBlock);
#endif
    }
    RecordBlock(const RecordBlock&) = delete;
    RecordBlock& operator=(const RecordBlock&) = delete;

    LogLine* Page(std::size_t index) {
        return memory_ + index * LineStore::kPageSize;
    }

private:
    LogLine* memory_ = nullptr;
#ifdef _WIN32
    std::unique_ptr<LogLine[]> owned_;
#endif
};

LineStore::LineStore() : pages_(LineStore::kPageSize, nullptr) {}

LineStore::~LineStore() = default;

LogLine* LineStore::MakePage(std::size_t page) {
    if (page >= pages_.size()) {
        pages_.resize(std::max(page + 1, pages_.size() * 2), nullptr);
    }
    if (pages_[page] == nullptr) {
        // Pages come out of blocks reserved a few at a time; a block's memory
        // is only committed where records are touched.
        const std::size_t blockIndex = page / kPagesPerBlock;
        if (blockIndex >= blocks_.size()) {
            blocks_.resize(blockIndex + 1);
        }
        if (blocks_[blockIndex] == nullptr) {
            blocks_[blockIndex] = std::make_unique<RecordBlock>();
        }
        pages_[page] = blocks_[blockIndex]->Page(page % kPagesPerBlock);
    }
    return pages_[page];
}

std::size_t LineStore::pagesMade() const {
    return static_cast<std::size_t>(
        std::count_if(pages_.begin(), pages_.end(), [](const LogLine* p) { return p != nullptr; }));
}

std::int64_t LineStore::Append(const char* data, std::int64_t from, std::int64_t size) {
    const char* lineStart = data + from;
    const char* const end = data + size;
    while (lineStart < end && lineCount_ < kMaxLines) {
        const auto* lf = static_cast<const char*>(
            std::memchr(lineStart, '\n', static_cast<std::size_t>(end - lineStart)));
        if (lf == nullptr) {
            break; // an unterminated last line is not stored
        }
        auto length = static_cast<std::int32_t>(std::min<std::int64_t>(lf - lineStart, kMaxLines));
        if (length > 0 && lf[-1] == '\r') {
            --length;
        }
        LogLine& line = Line(lineCount_);
        line.offset = lineStart - data;
        line.byteLength = length;
        ++lineCount_;
        lineStart = lf + 1;
    }
    return lineStart - data;
}
