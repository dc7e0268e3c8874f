#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

// Text of at most `Limit` bytes in a fixed buffer, always zero-terminated.
// The tables keep the log's names and addresses in these: the limits are part
// of what the program shows, and longer text is cut at the limit, never
// written past it. The length is kept as well, so bytes after an embedded
// zero still count.
template <std::size_t Limit> class FixedText {
public:
    static constexpr std::size_t kLimit = Limit;
    static_assert(Limit < 256, "the length is kept in one byte");

    FixedText() = default;
    explicit FixedText(std::string_view text) { Assign(text); }

    // Copies at most kLimit bytes of `text` and terminates them.
    void Assign(std::string_view text) {
        length_ = static_cast<unsigned char>(std::min(text.size(), Limit));
        std::memcpy(bytes_.data(), text.data(), length_);
        bytes_[length_] = '\0';
    }

    std::string_view view() const { return {bytes_.data(), length_}; }
    const char* c_str() const { return bytes_.data(); }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }

private:
    std::array<char, Limit + 1> bytes_{};
    unsigned char length_ = 0;
};
