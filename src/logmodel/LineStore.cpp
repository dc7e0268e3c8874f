#include "LineStore.h"

#include <algorithm>
#include <cstring>

void LineStore::SetEntry(std::int64_t i, Entry_ value) {
    const auto index = static_cast<std::size_t>(i);
    const std::size_t block = index >> kBlockBits;
    while (block >= blocks_.size()) {
        blocks_.push_back(std::make_unique_for_overwrite<Entry_[]>(kBlockEntries));
    }
    blocks_[block][index & (kBlockEntries - 1)] = value;
}

void LineStore::Clear() {
    lineCount_ = 0;
    blocks_.clear();
}

std::int32_t LineStore::ByteLength(int i) const {
    const Entry_ entry = Entry(i);
    const std::int64_t start = static_cast<std::int64_t>(entry & kOffsetMask);
    const std::int64_t next = Offset(i + 1);
    // The LF, and the CR before it.
    const std::int64_t length = next - start - 1 - ((entry & kCrFlag) != 0 ? 1 : 0);
    return static_cast<std::int32_t>(std::min<std::int64_t>(length, kMaxLines));
}

std::int64_t LineStore::Append(const char* data, std::int64_t from, std::int64_t size) {
    const char* lineStart = data + from;
    const char* const end = data + size;
    if (lineCount_ == 0) {
        SetEntry(0, static_cast<Entry_>(from));
    }
    while (lineStart < end && lineCount_ < kMaxLines) {
        const auto* lf = static_cast<const char*>(
            std::memchr(lineStart, '\n', static_cast<std::size_t>(end - lineStart)));
        if (lf == nullptr) {
            break; // an unterminated last line is not stored
        }
        const bool cr = lf > lineStart && lf[-1] == '\r';
        SetEntry(lineCount_, static_cast<Entry_>(lineStart - data) | (cr ? kCrFlag : 0));
        ++lineCount_;
        lineStart = lf + 1;
        SetEntry(lineCount_, static_cast<Entry_>(lineStart - data));
    }
    return lineStart - data;
}
