#include "LineSet.h"

std::optional<int> LineSet::Nth(int n) const {
    std::uint32_t line = 0;
    if (n < 0 || !bits_.select(static_cast<std::uint32_t>(n), &line)) {
        return std::nullopt;
    }
    return static_cast<int>(line);
}

int LineSet::Rank(int line) const {
    if (line <= 0) {
        return 0;
    }
    // rank() counts the members up to and including its argument.
    return static_cast<int>(bits_.rank(Key(line - 1)));
}

std::optional<int> LineSet::NextFrom(int line) const {
    auto it = bits_.begin();
    it.equalorlarger(Key(line < 0 ? 0 : line));
    if (it == bits_.end()) {
        return std::nullopt;
    }
    return static_cast<int>(*it);
}

std::optional<int> LineSet::PreviousFrom(int line) const {
    if (line < 0) {
        return std::nullopt;
    }
    const int before = Rank(line) + (Contains(line) ? 1 : 0);
    return before == 0 ? std::nullopt : Nth(before - 1);
}

void LineSet::AddRange(int first, int end) {
    if (end > first) {
        bits_.addRange(Key(first), Key(end));
        ++changes_;
    }
}

void LineSet::FlipRange(int first, int end) {
    if (end > first) {
        bits_.flip(Key(first), Key(end));
        ++changes_;
    }
}

LineSet LineSet::Slice(int first, int end) const {
    LineSet range;
    range.AddRange(first, end);
    range &= *this;
    return range;
}
