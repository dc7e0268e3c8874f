#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One reply of a game server, put together from the datagrams it came in.
//
// A server prints the answer to an RCON command into a buffer that it sends
// whenever the buffer is full, each piece behind four 0xFF bytes and the word
// "print" with a line end, so a long answer (`status` of a full server) comes
// in several datagrams and may be cut anywhere, in the middle of a line too.
// The texts are joined as they came, without anything in between. A piece's
// text ends at its first zero byte, as the engine's own strings do.
class ReplyAssembly {
public:
    // The most datagrams one reply may take: the one that fills the last
    // slot ends it ("Too many messages received").
    static constexpr int kMostDatagrams = 256;
    // The most bytes of text kept: far beyond the longest real answer
    // (64 players' status is some 6 KB); what comes after is dropped.
    static constexpr std::size_t kMostTextBytes = 256 * 1024;

    enum class Added {
        Kept,     // the datagram's text was added
        Closed,   // a datagram of zero length: the server closed the exchange
        Overflow, // this datagram filled the last slot
    };

    // Adds one datagram, bytes as they came.
    Added Add(std::string_view datagram);

    int datagrams() const { return datagrams_; }
    const std::string& text() const { return text_; }
    // Some text was dropped at kMostTextBytes.
    bool cut() const { return cut_; }

private:
    std::string text_;
    int datagrams_ = 0;
    bool cut_ = false;
};

// The four 0xFF bytes, "print" and a line end: the head of every piece of an
// answer.
inline constexpr std::string_view kPrintHeader = "\xFF\xFF\xFF\xFFprint\n";

// The text a datagram carries: what follows the print header up to its first
// zero byte. A datagram without the header carries no text (whatever it is,
// it is no printed answer).
std::string_view PrintedText(std::string_view datagram);

// The first line of a reply's text, without its line end and trailing
// blanks: what the server said first.
std::string_view FirstLine(std::string_view text);
