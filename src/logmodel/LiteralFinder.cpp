#include "LiteralFinder.h"

#include <cstring>

ByteFold IdentityFold() {
    ByteFold fold{};
    for (std::size_t b = 0; b < fold.size(); ++b) {
        fold[b] = static_cast<unsigned char>(b);
    }
    return fold;
}

LiteralFinder::LiteralFinder(std::string_view literal, const ByteFold& fold)
    : fold_(fold), exact_(fold == IdentityFold()) {
    literal_.reserve(literal.size());
    for (char c : literal) {
        literal_.push_back(static_cast<char>(fold_[static_cast<unsigned char>(c)]));
    }
    // Horspool: how far the window may move when its last byte is b.
    const std::size_t m = literal_.size();
    shift_.fill(m == 0 ? 1 : m);
    for (std::size_t j = 0; j + 1 < m; ++j) {
        shift_[static_cast<unsigned char>(literal_[j])] = m - 1 - j;
    }
}

std::size_t LiteralFinder::Find(std::string_view text) const {
    if (literal_.empty()) {
        return 0;
    }
    if (text.size() < literal_.size()) {
        return std::string_view::npos;
    }
    return exact_ ? FindExact(text) : FindFolded(text);
}

std::size_t LiteralFinder::FindExact(std::string_view text) const {
    const std::size_t m = literal_.size();
    if (m == 1) {
        const void* hit = std::memchr(text.data(), literal_[0], text.size());
        return hit == nullptr
                   ? std::string_view::npos
                   : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    }
    const auto* hay = reinterpret_cast<const unsigned char*>(text.data());
    const auto* needle = reinterpret_cast<const unsigned char*>(literal_.data());
    const unsigned char last = needle[m - 1];
    const std::size_t stop = text.size() - m;
    std::size_t i = 0;
    while (i <= stop) {
        const unsigned char b = hay[i + m - 1];
        if (b == last && std::memcmp(hay + i, needle, m - 1) == 0) {
            return i;
        }
        i += shift_[b];
    }
    return std::string_view::npos;
}

std::size_t LiteralFinder::FindFolded(std::string_view text) const {
    const std::size_t m = literal_.size();
    const auto* hay = reinterpret_cast<const unsigned char*>(text.data());
    const auto* needle = reinterpret_cast<const unsigned char*>(literal_.data());
    const unsigned char last = needle[m - 1];
    const std::size_t stop = text.size() - m;
    std::size_t i = 0;
    while (i <= stop) {
        const unsigned char b = fold_[hay[i + m - 1]];
        if (b == last) {
            std::size_t j = 0;
            while (j + 1 < m && fold_[hay[i + j]] == needle[j]) {
                ++j;
            }
            if (j + 1 == m) {
                return i;
            }
        }
        i += shift_[b];
    }
    return std::string_view::npos;
}
