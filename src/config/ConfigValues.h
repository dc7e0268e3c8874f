#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What quarvel.cfg's values may be. A value that breaks a rule is refused
// whole, never cut or guessed at: the reader leaves it (and what it belongs
// to) out and says why, and the writer will not put it in the file. Each
// check gives the reason as one clause naming the key (ASCII, quoting no
// value), or an empty text when the value may be taken; keys that are not
// ours are always taken (other programs may share the file).

// name, address and rconpass of a server.
inline constexpr std::size_t kServerTextLimit = 39;
// The database: an SQLite file, or a postgresql:// URI with its options.
inline constexpr std::size_t kDatabaseValueLimit = 1000;
// The path of a server's log.
inline constexpr std::size_t kLogPathLimit = 1000;
// A command template (kick=, tempkick=, say=, userinfo=): one datagram holds
// 255 bytes with the "rcon" prefix and the password.
inline constexpr std::size_t kCommandTemplateLimit = 200;
// poll=: how often the server is asked who is on, in seconds.
inline constexpr int kDefaultPollSeconds = 5;
inline constexpr int kShortestPollSeconds = 1;
inline constexpr int kLongestPollSeconds = 3600;

// A dotted IPv4 address (four numbers 0 to 255, no leading zeros) or a host name (labels of
// letters, digits and inner hyphens, 1 to 63 characters each, dot-separated,
// with an optional final dot; the last not all digits). Nothing else: no
// IPv6 address, no ":port", no blanks.
bool IsServerAddress(std::string_view text);

// A poll= value: whole seconds within the bounds, nothing else.
std::optional<int> ParsePollSeconds(std::string_view text);

// Why the value of `key` in a [server] block cannot be taken; empty when it
// can. Keys compared without regard to case.
std::string CheckServerValue(std::string_view key, std::string_view value);

// The same for a [database] block.
std::string CheckDatabaseValue(std::string_view key, std::string_view value);
