#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The request datagram of one RCON command: four 0xFF bytes, then the command
// text with no terminator and no line end.
//
// The game server tokenises the text it runs, so text a player chose (the name
// from the log) or the admin typed (the reason) must not be able to end its
// quoted argument or cut the request: a double quote in them is sent as a
// single quote and control bytes are dropped. Values that cannot be mended
// that way (the GUID, the IP text, the password) are checked instead, and a
// request holding a bad one is refused, never sent.
struct RconRequest {
    // The request socket's command buffer holds 256 bytes with its terminator,
    // so one datagram carries at most 255, the prefix included.
    static constexpr std::size_t kDatagramLimit = 255;

    std::string datagram; // what goes out; empty when refused
    std::string refusal;  // why it may not be sent (UTF-8, one sentence); empty when it may

    bool sendable() const { return refusal.empty(); }
};

// The four bytes every request starts with.
inline constexpr std::string_view kRconPrefix = "\xFF\xFF\xFF\xFF";

// `rcon "<password>" pb_sv_banguid <guid> "<name>" <ip> "<reason>"`.
RconRequest FormatBanRequest(std::string_view password, std::string_view guid,
                             std::string_view name, std::string_view ip, std::string_view reason);

// `rcon "<password>" pb_sv_unbanguid <guid>`.
RconRequest FormatUnbanRequest(std::string_view password, std::string_view guid);

// `rcon "<password>" <command>`: any command the admin or a template gives
// (the console, `status`, kick, say). A command holding a control byte, which
// could end it early on the server, is refused, as is one too long for one
// datagram.
RconRequest FormatCommandRequest(std::string_view password, std::string_view command);

// A double quote becomes a single quote; control bytes (below 0x20, and
// DEL) are dropped.
std::string MendQuotedText(std::string_view text);

// Exactly 32 hexadecimal digits: an empty GUID would shift every later
// argument of the command one place.
bool IsSendableGuid(std::string_view guid);

// A dotted IPv4 address (four numbers 0 to 255), and nothing else: the IP
// goes out unquoted, so any other text could start a comment or a second
// argument in the server's tokenizer.
bool IsSendableIpText(std::string_view ip);

// No double quote or control byte.
bool IsSendablePassword(std::string_view password);
