#pragma once

#include "EventText.h"

#include <optional>
#include <string_view>

// What one ClientConnect line says, as the harvest and the classifier read
// it: the player's slot, the address he came from (without the port) and
// his GUID in capital hexadecimal digits. The views point into the buffer
// the line was cut in.
struct ConnectLine {
    int slot = -1;
    std::string_view address;
    std::string_view guid;
};

// The connection the payload of a ClientConnect line makes (the text after
// its keyword), or nothing when it names no slot of a server.
std::optional<ConnectLine> ReadConnection(std::string_view payload);

// The connection a log line makes, or nothing for any other line (a
// keyword that is the beginning of "ClientConnect", an empty one included,
// counts, as it does for the classifier). `eventTextOffset` is the log's
// time stamp width.
std::optional<ConnectLine> ReadConnectLine(std::string_view line, EventTextBuffer& buffer,
                                           int eventTextOffset);
