#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Where the lines of one log lie in its file: for each line the offset of
// its first byte, and whether a CR stands before its LF. A line's length
// follows from where the next line begins, so a line costs the store eight
// bytes, and nothing of it moves when the file's mapping does.
//
// The offsets sit in fixed blocks that are never moved or copied as the
// store grows, so that lines appended to a followed log cost only their own
// entries.
class LineStore {
public:
    // Line indexes are 32-bit signed throughout the program.
    static constexpr std::int64_t kMaxLines = 0x7FFFFFFF;
    // So are byte offsets and visible columns within a line: a line longer
    // than this shows its first kMaxLineBytes bytes to every reader that
    // counts in them (ByteLength), and only LineLength tells its whole
    // length.
    static constexpr std::int64_t kMaxLineBytes = 0x7FFFFFFF;

    LineStore() = default;
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    // Splits the bytes [from, size) of the file at `data` at each LF into
    // lines appended after those already stored (a CR right before the LF is
    // not part of the line) and returns the offset just past the last LF,
    // where the next line will begin. Bytes after the last LF form no line
    // yet: the caller passes them again once more of the file is there, so a
    // line or a CR LF pair split across two writes comes out whole. `from`
    // is where the previous call left off (0 at first).
    std::int64_t Append(const char* data, std::int64_t from, std::int64_t size) {
        return Append(data, from, from, size);
    }
    // The same, when the bytes [from, scanFrom) are known to hold no LF (an
    // earlier call looked at them and left a line unfinished there): only
    // the bytes from scanFrom on are read, so a long line that arrives a
    // little at a time is read once, not once per part.
    std::int64_t Append(const char* data, std::int64_t from, std::int64_t scanFrom,
                        std::int64_t size);
    // Forgets every line.
    void Clear();
    // Exchanges the lines of two stores.
    void swap(LineStore& other) noexcept {
        blocks_.swap(other.blocks_);
        std::swap(lineCount_, other.lineCount_);
    }
    // Makes room in the block table for `lines` lines, so that appending up
    // to that many never moves it: another thread may then read the lines
    // already stored while this one appends.
    void ReserveFor(std::int64_t lines);

    int lineCount() const { return lineCount_; }
    // Line i, 0 <= i < lineCount(): the offset of its first byte, and its
    // length without its LF and without a CR right before that LF: all of
    // it (LineLength), or at most kMaxLineBytes of it (ByteLength).
    std::int64_t Offset(int i) const { return static_cast<std::int64_t>(Entry(i) & kOffsetMask); }
    std::int64_t LineLength(int i) const {
        const Entry_ entry = Entry(i);
        // The LF, and the CR before it.
        return Offset(i + 1) - static_cast<std::int64_t>(entry & kOffsetMask) - 1 -
               ((entry & kCrFlag) != 0 ? 1 : 0);
    }
    std::int32_t ByteLength(int i) const {
        return static_cast<std::int32_t>(std::min(LineLength(i), kMaxLineBytes));
    }

    // Bytes the store holds for its lines.
    std::size_t memoryBytes() const { return blocks_.size() * kBlockEntries * sizeof(Entry_); }

private:
    using Entry_ = std::uint64_t;
    static constexpr int kBlockBits = 16;
    static constexpr std::size_t kBlockEntries = std::size_t{1} << kBlockBits;
    static constexpr Entry_ kCrFlag = Entry_{1} << 63;
    static constexpr Entry_ kOffsetMask = kCrFlag - 1;

    Entry_ Entry(int i) const {
        const auto index = static_cast<std::size_t>(i);
        return blocks_[index >> kBlockBits][index & (kBlockEntries - 1)];
    }
    void SetEntry(std::int64_t i, Entry_ value);

    // Entry i is line i's start; entry lineCount() is where the next line
    // will start, so that the last line's length is known too.
    std::vector<std::unique_ptr<Entry_[]>> blocks_;
    int lineCount_ = 0;
};
