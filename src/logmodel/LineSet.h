#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <roaring/roaring.hh>
#include <utility>

// A set of line numbers, kept compact: a Roaring bitmap, which stores a
// sparse stretch of lines as a sorted array of 16-bit numbers (two bytes a
// line), a dense one as a bitmap (one bit a line) and a run of consecutive
// lines as its ends. What a list of hits needs to draw one screen is cheap:
// the count, the n-th line, the rank of a line, whether a line is in it, and
// a walk from any line on.
class LineSet {
public:
    LineSet() = default;
    LineSet(const LineSet&) = default;
    LineSet(LineSet&&) noexcept = default;
    // Taking another set's lines is a change of this one (changes()).
    LineSet& operator=(const LineSet& other) {
        bits_ = other.bits_;
        ++changes_;
        return *this;
    }
    LineSet& operator=(LineSet&& other) noexcept {
        bits_ = std::move(other.bits_);
        ++changes_;
        ++other.changes_;
        return *this;
    }
    ~LineSet() = default;

    // Counts the changes of the set's lines: a reader that remembers where
    // it was in the set knows its place is still good while this stays.
    std::uint64_t changes() const { return changes_; }

    bool Contains(int line) const { return line >= 0 && bits_.contains(Key(line)); }
    // How many lines the set holds.
    int Count() const { return static_cast<int>(bits_.cardinality()); }
    bool Empty() const { return bits_.isEmpty(); }
    // The n-th line of the set in increasing order (n from 0), or nothing
    // when the set holds n lines or fewer.
    std::optional<int> Nth(int n) const;
    // How many lines of the set lie before `line`: the position `line` has,
    // or would have, in the list of the set's lines.
    int Rank(int line) const;
    // The first line of the set at or after `line`, and the last one at or
    // before it.
    std::optional<int> NextFrom(int line) const;
    std::optional<int> PreviousFrom(int line) const;

    // Calls f(line) for each line from `from` on, in increasing order, until
    // f returns false.
    template <class F> void ForEachFrom(int from, F&& f) const {
        auto it = bits_.begin();
        it.equalorlarger(Key(from < 0 ? 0 : from));
        for (; it != bits_.end(); ++it) {
            if (!f(static_cast<int>(*it))) {
                return;
            }
        }
    }

    void Add(int line) {
        bits_.add(Key(line));
        ++changes_;
    }
    // Adds lines [first, end).
    void AddRange(int first, int end);
    void Remove(int line) {
        bits_.remove(Key(line));
        ++changes_;
    }
    // Lines [first, end) that are not in the set become members and the
    // members in it leave.
    void FlipRange(int first, int end);
    void Clear() {
        bits_ = Roaring();
        ++changes_;
    }
    LineSet& operator|=(const LineSet& other) {
        bits_ |= other.bits_;
        ++changes_;
        return *this;
    }
    LineSet& operator&=(const LineSet& other) {
        bits_ &= other.bits_;
        ++changes_;
        return *this;
    }
    LineSet& operator-=(const LineSet& other) {
        bits_ -= other.bits_;
        ++changes_;
        return *this;
    }
    bool operator==(const LineSet& other) const { return bits_ == other.bits_; }
    // The members in [first, end).
    LineSet Slice(int first, int end) const;

    // Bytes the set takes in memory, about.
    std::size_t memoryBytes() const { return bits_.getSizeInBytes(false); }
    // Stores long runs of lines as runs.
    void Compact() { bits_.runOptimize(); }

private:
    static std::uint32_t Key(int line) { return static_cast<std::uint32_t>(line); }

    Roaring bits_;
    std::uint64_t changes_ = 0;
};
