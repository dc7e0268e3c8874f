#include "RareByteFilter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// A rough guess of how common a byte is in a server log: higher is more
// common. Time stamps, addresses and GUIDs make digits and separators
// frequent; lower-case letters are everywhere in names and chat.
int Commonness(unsigned char b) {
    if (b == ' ') {
        return 255;
    }
    if (b >= '0' && b <= '9') {
        return 200;
    }
    if (std::strchr(":.\\-_/[]", b) != nullptr && b != 0) {
        return 190;
    }
    if (std::strchr("etaoinsrhldcum", b) != nullptr && b != 0) {
        return 180;
    }
    if (std::strchr("qjxz", b) != nullptr && b != 0) {
        return 100;
    }
    if (b >= 'a' && b <= 'z') {
        return 150;
    }
    if (std::strchr("ABCDEF", b) != nullptr && b != 0) {
        return 140; // hexadecimal GUIDs
    }
    if (std::strchr("QJXZVKYW", b) != nullptr && b != 0) {
        return 60;
    }
    if (b >= 'A' && b <= 'Z') {
        return 100;
    }
    if (b >= 0x80) {
        return 40;
    }
    if (b < 0x20) {
        return 20;
    }
    return 90; // other punctuation
}

} // namespace

RareByteFilter::RareByteFilter(std::string_view literal, const ByteFold& fold,
                               std::string_view sample) {
    std::array<std::int64_t, 256> seen{};
    for (char c : sample) {
        ++seen[static_cast<unsigned char>(c)];
    }
    // Every byte of a case class costs a reading of the log of its own, worth
    // about one stop per few thousand bytes.
    const std::int64_t extraByteCost = static_cast<std::int64_t>(sample.size() / 4096) + 1;

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (char c : literal) {
        const auto byte = static_cast<unsigned char>(c);
        std::array<char, kMaxBytes> cls{};
        int clsCount = 0;
        std::int64_t stops = 0;
        int guess = 0;
        bool tooMany = false;
        for (int b = 0; b < 256; ++b) {
            if (fold[static_cast<std::size_t>(b)] != fold[byte]) {
                continue;
            }
            if (clsCount == kMaxBytes) {
                tooMany = true;
                break;
            }
            cls[static_cast<std::size_t>(clsCount++)] = static_cast<char>(b);
            stops += seen[static_cast<std::size_t>(b)];
            guess += Commonness(static_cast<unsigned char>(b)) + 10;
        }
        if (tooMany || clsCount == 0) {
            continue;
        }
        const std::int64_t score = (stops + extraByteCost * (clsCount - 1)) * 4096 + guess;
        if (score < best) {
            best = score;
            bytes_ = cls;
            count_ = clsCount;
        }
    }
}

bool RareByteFilter::MayHold(std::string_view bytes) const {
    if (count_ == 0) {
        return true;
    }
    if (bytes.empty()) {
        return false; // the literal is never empty
    }
    for (int i = 0; i < count_; ++i) {
        if (std::memchr(bytes.data(), bytes_[static_cast<std::size_t>(i)], bytes.size()) !=
            nullptr) {
            return true;
        }
    }
    return false;
}

ForwardByteScan::ForwardByteScan(const RareByteFilter& filter, const char* end)
    : count_(filter.bytes().size()), end_(end) {
    std::copy_n(filter.bytes().begin(), count_, bytes_.begin());
}

const char* ForwardByteScan::Next(const char* from) {
    if (lowest_ == nullptr || from < lowest_) {
        // Before the first place asked about: nothing known holds here.
        known_.fill(false);
        lowest_ = from;
    }
    const char* first = nullptr;
    for (std::size_t i = 0; i < count_; ++i) {
        // A byte not found before stays not found: the reading only goes on.
        if (!known_[i] || (next_[i] != nullptr && next_[i] < from)) {
            next_[i] = from < end_ ? static_cast<const char*>(std::memchr(
                                         from, bytes_[i], static_cast<std::size_t>(end_ - from)))
                                   : nullptr;
            known_[i] = true;
        }
        if (next_[i] != nullptr && (first == nullptr || next_[i] < first)) {
            first = next_[i];
        }
    }
    return first;
}
