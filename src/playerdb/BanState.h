#pragma once

#include "BanRecord.h"
#include "BanTime.h"

#include <cstdint>
#include <optional>
#include <string>

// A ban of one GUID as the team keeps it, whatever each server's ban list
// says: permanent, or temporary until its expiry. A GUID has at most one open
// state; the history of its states, and the ban records beside them, say
// everything that happened to it. Texts are UTF-8.

enum class BanKind { Permanent, Temporary };

// Why a state is no longer the GUID's open one.
enum class BanEnd {
    Lifted,   // an admin lifted it (unban)
    Replaced, // a later ban took its place: a permanent ban over a temp-ban, a
              // temp-ban ending later, an extension
    Expired,  // it had run out when the GUID was banned again (closed then, at
              // its expiry: running out itself changes no row)
};

// What a state is at an instant.
enum class BanStatus { Active, Expired, Lifted, Replaced };

struct BanState {
    std::int64_t key = 0;
    std::string guid; // 32 hexadecimal digits, upper case
    BanKind kind = BanKind::Permanent;
    std::int64_t start = 0;             // seconds since 1970 UTC
    std::string startTime;              // the same instant as the issuer's clock read it
    std::optional<std::int64_t> expiry; // temporary states only
    std::string expiryTime;             // shown with the issuer's offset
    std::string name;                   // the player's name as the ban gave it (may be empty)
    std::string reason;
    std::string issuedBy; // the login name of the admin
    std::optional<std::int64_t> ended;
    std::string endedTime;
    std::optional<BanEnd> endCause;
    std::string liftedBy;   // when lifted
    std::string liftReason; // when lifted, may be empty

    // Whether it holds the player off at `now` (seconds since 1970 UTC).
    bool ActiveAt(std::int64_t now) const { return !ended && (!expiry || *expiry > now); }
    BanStatus StatusAt(std::int64_t now) const;

    bool operator==(const BanState&) const = default;
};

// What a ban or temp-ban is of. Texts are UTF-8 (log bytes go through
// Windows1252ToUtf8 first); the GUID may be typed in either case.
struct BanRequest {
    std::string guid;
    std::string reason;
    std::string name; // the player's name, for the state and its record; may be empty
    std::string ip;   // for the record only; may be empty
};

// What a ban, temp-ban, lift or extension did to a GUID's state.
enum class BanChangeOutcome {
    Banned,    // a new state: the GUID had no active one
    Replaced,  // a new state took an active one's place
    Extended,  // an active temp-ban now ends later
    Lifted,    // the active state was lifted
    Unchanged, // an active ban at least as long stands; nothing was written
    NotBanned, // lift or extend of a GUID without an active state
    Refused,   // not a GUID, or a duration out of range; nothing was asked
};

struct BanChange {
    BanChangeOutcome outcome = BanChangeOutcome::Refused;
    // The GUID's state afterwards: the new one, the one that stands, or the
    // one just lifted. None for NotBanned and Refused.
    std::optional<BanState> state;
    // The active state a new one replaced or extended.
    std::optional<BanState> previous;
    // What the user is told, one line: "Banned until
    // 2004-02-01T22:05:09+01:00 (60 minutes)".
    std::string text;

    // Whether the state now holds what was asked: made, already held by a
    // ban as long or longer, lifted, or nothing to lift.
    bool kept() const { return outcome != BanChangeOutcome::Refused; }
};

// The longest temp-ban or extension: ten years. Longer is a permanent ban.
inline constexpr long long kMaxBanMinutes = 10LL * 366 * 24 * 60;

// The state's status at `now` as a short text: "banned", "banned until
// <expiry>", or, when it no longer holds, "ban lifted <time> by <admin>
// (<why>)", "temp-ban replaced <time>", "temp-ban expired <expiry>".
std::string BanStatusText(const BanState& state, std::int64_t now);

// What the windows say of a GUID whose state holds him off: "banned until
// <expiry>" for a temp-ban, "banned" for a permanent one; nothing when none.
std::string ActiveBanText(const std::optional<BanState>& active);

// One line for a list of states: "<GUID>  <status>  since <start> by
// <admin>  reason: <reason>".
std::string BanStateLine(const BanState& state, std::int64_t now);

// The words a state's kind and end are kept as.
const char* BanKindWord(BanKind kind);
const char* BanEndWord(BanEnd end);
const char* BanStatusWord(BanStatus status); // "active", "expired", "lifted", "replaced"
