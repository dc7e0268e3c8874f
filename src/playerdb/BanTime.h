#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The moment a ban record is made: the instant, and the offset of the local
// time zone from UTC at that instant. Records show local time with its
// offset, so a team of admins in several zones reads each record as its
// admin saw it, and can still put them in order.
struct BanTime {
    std::int64_t epochSeconds = 0; // since 1970-01-01T00:00:00Z
    int offsetSeconds = 0;         // local time minus UTC

    bool operator==(const BanTime&) const = default;
};

// Where ban records take their time from; tests fix it.
using BanClock = std::function<BanTime()>;

// Now, in the machine's local time zone.
BanTime LocalBanTime();

// ISO 8601 local time with the offset: "2004-02-01T21:05:09+01:00". A zone
// offset with seconds (old local mean times) shows its whole minutes.
std::string FormatBanTime(BanTime time);
