#pragma once

#include <netinet/in.h>
#include <optional>
#include <string_view>

// The IPv4 address of a server's address text: a dotted address as it stands,
// anything else looked up as a host name, taking the first address of the
// answer. Looked up anew at every call, so a server that moved is found.
// Nothing when the text is neither.
std::optional<in_addr> ResolveIPv4(std::string_view hostText);
