#pragma once

#include "BanRecord.h"
#include "BanState.h"
#include "BanTime.h"

#include <optional>
#include <string>

// The rules of the ban states as one decision, apart from the database: what
// a change asked of a GUID's open state does, and what is to be written.
// BanStates reads the open state, plans, and writes the plan in the same
// transaction.

enum class BanAsk { Ban, TempBan, Lift, Extend };

struct BanAskDetails {
    BanAsk ask = BanAsk::Ban;
    BanRequest request;    // Ban, TempBan; for Lift and Extend only its GUID
    long long minutes = 0; // TempBan, Extend
    std::string why;       // Lift, Extend
    std::string admin;     // who asks
};

struct BanPlan {
    BanChange change; // what the caller is told (a new state's key still 0)
    // How the GUID's open state ends, and when; none when it stays as it is.
    std::optional<BanEnd> endOpen;
    std::int64_t endAt = 0;
    std::string endAtText;
    std::optional<BanState> insert;  // the new state to store
    std::optional<BanRecord> record; // the ban record of the change
};

// `open` is the GUID's open state, run out or not; `guid` the GUID in upper
// case; `now` the clock's reading.
BanPlan PlanBanChange(const BanAskDetails& details, const std::string& guid,
                      const std::optional<BanState>& open, BanTime now);

// The GUID in the case the states keep it (upper), or nothing when it is no
// GUID.
std::optional<std::string> StateGuid(std::string_view guid);
