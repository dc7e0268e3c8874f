#include "BanStatePlan.h"

#include "PlayerGuid.h"

#include <algorithm>
#include <limits>

namespace {

std::string Minutes(long long minutes) {
    return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
}

std::string Until(const BanState& state) {
    return "until " + state.expiryTime;
}

// "since <start> by <admin>", what an answer says of a ban that stands.
std::string Since(const BanState& state) {
    return "since " + state.startTime + " by " + state.issuedBy;
}

BanPlan Told(BanChangeOutcome outcome, std::string text, std::optional<BanState> state = {}) {
    BanPlan plan;
    plan.change.outcome = outcome;
    plan.change.text = std::move(text);
    plan.change.state = std::move(state);
    return plan;
}

BanState NewState(const BanAskDetails& details, const std::string& guid, BanKind kind,
                  BanTime now) {
    BanState state;
    state.guid = guid;
    state.kind = kind;
    state.start = now.epochSeconds;
    state.startTime = FormatBanTime(now);
    if (kind == BanKind::Temporary) {
        state.expiry = now.epochSeconds + details.minutes * 60;
        state.expiryTime = FormatBanTime({*state.expiry, now.offsetSeconds});
    }
    state.name = details.request.name;
    state.reason = details.request.reason;
    state.issuedBy = details.admin;
    return state;
}

// A temporary state made now is kept in its record as a temp-ban of the
// minutes it lasts from now (whole minutes, rounded up); a lifted one, or a
// permanent one, has none.
std::optional<int> RecordMinutes(const BanState& state, BanTime now) {
    if (!state.expiry || state.ended) {
        return std::nullopt;
    }
    const std::int64_t minutes = (*state.expiry - now.epochSeconds + 59) / 60;
    return static_cast<int>(std::min<std::int64_t>(minutes, std::numeric_limits<int>::max()));
}

BanRecord RecordOf(const BanAskDetails& details, const BanState& state, const char* action,
                   std::string reason, const std::string& text, BanTime now) {
    return BanRecord{FormatBanTime(now),
                     action,
                     state.guid,
                     state.name,
                     details.ask == BanAsk::Ban || details.ask == BanAsk::TempBan
                         ? details.request.ip
                         : std::string(),
                     std::move(reason),
                     {}, // no server: the record of the state
                     text,
                     details.admin,
                     RecordMinutes(state, now)};
}

// A new state in place of none (or of one that has run out, closed at its
// expiry) or of an active one (closed now, replaced).
BanPlan Replace(const BanAskDetails& details, const std::optional<BanState>& open, bool active,
                BanState state, BanChangeOutcome outcome, std::string text, BanTime now) {
    BanPlan plan = Told(outcome, std::move(text), state);
    if (open) {
        plan.endOpen = active ? BanEnd::Replaced : BanEnd::Expired;
        plan.endAt = active ? now.epochSeconds : *open->expiry;
        plan.endAtText = active ? FormatBanTime(now) : open->expiryTime;
        if (active) {
            plan.change.previous = open;
        }
    }
    const std::string reason =
        details.ask == BanAsk::Extend && !details.why.empty() ? details.why : state.reason;
    plan.record = RecordOf(details, state, kBanActionText, reason, plan.change.text, now);
    plan.insert = std::move(state);
    return plan;
}

BanPlan PlanBan(const BanAskDetails& details, const std::string& guid,
                const std::optional<BanState>& open, bool active, BanTime now) {
    const bool temporary = details.ask == BanAsk::TempBan;
    if (active && open->kind == BanKind::Permanent) {
        return Told(BanChangeOutcome::Unchanged,
                    "Already banned permanently " + Since(*open) +
                        (temporary ? ": a temp-ban does not shorten it" : ""),
                    open);
    }
    const BanState state =
        NewState(details, guid, temporary ? BanKind::Temporary : BanKind::Permanent, now);
    if (active && temporary && *open->expiry >= *state.expiry) {
        return Told(BanChangeOutcome::Unchanged,
                    "Already banned " + Until(*open) + " by " + open->issuedBy +
                        ": a temp-ban does not shorten it",
                    open);
    }
    std::string text = temporary ? "Banned " + Until(state) + " (" + Minutes(details.minutes) + ")"
                                 : std::string("Banned permanently");
    if (active) {
        text += ", replacing the temp-ban " + Until(*open);
    }
    return Replace(details, open, active, state,
                   active ? BanChangeOutcome::Replaced : BanChangeOutcome::Banned, std::move(text),
                   now);
}

BanPlan PlanExtend(const BanAskDetails& details, const std::optional<BanState>& open, bool active,
                   BanTime now) {
    if (!active) {
        return Told(BanChangeOutcome::NotBanned, "Not banned: nothing to extend");
    }
    if (open->kind == BanKind::Permanent) {
        return Told(BanChangeOutcome::Unchanged,
                    "Banned permanently " + Since(*open) + ": nothing to extend", open);
    }
    BanState state = *open;
    state.key = 0;
    state.start = now.epochSeconds;
    state.startTime = FormatBanTime(now);
    state.expiry = *open->expiry + details.minutes * 60;
    state.expiryTime = FormatBanTime({*state.expiry, now.offsetSeconds});
    state.issuedBy = details.admin;
    std::string text = "Ban extended by " + Minutes(details.minutes) + ", " + Until(state);
    return Replace(details, open, true, std::move(state), BanChangeOutcome::Extended,
                   std::move(text), now);
}

BanPlan PlanLift(const BanAskDetails& details, const std::optional<BanState>& open, bool active,
                 BanTime now) {
    if (!active) {
        return Told(BanChangeOutcome::NotBanned, "Not banned: nothing to lift");
    }
    BanState lifted = *open;
    lifted.ended = now.epochSeconds;
    lifted.endedTime = FormatBanTime(now);
    lifted.endCause = BanEnd::Lifted;
    lifted.liftedBy = details.admin;
    lifted.liftReason = details.why;
    BanPlan plan = Told(BanChangeOutcome::Lifted, "Ban lifted", lifted);
    plan.endOpen = BanEnd::Lifted;
    plan.endAt = now.epochSeconds;
    plan.endAtText = lifted.endedTime;
    plan.record = RecordOf(details, lifted, kUnbanActionText, details.why, plan.change.text, now);
    return plan;
}

} // namespace

std::optional<std::string> StateGuid(std::string_view guid) {
    if (!IsPlayerGuid(guid)) {
        return std::nullopt;
    }
    std::string upper(guid);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
    return upper;
}

BanPlan PlanBanChange(const BanAskDetails& details, const std::string& guid,
                      const std::optional<BanState>& open, BanTime now) {
    const bool timed = details.ask == BanAsk::TempBan || details.ask == BanAsk::Extend;
    if (timed && (details.minutes < 1 || details.minutes > kMaxBanMinutes)) {
        return Told(BanChangeOutcome::Refused, "Not kept: the minutes must be a number from 1 to " +
                                                   std::to_string(kMaxBanMinutes) + ".");
    }
    const bool active = open && open->ActiveAt(now.epochSeconds);
    switch (details.ask) {
    case BanAsk::Ban:
    case BanAsk::TempBan:
        return PlanBan(details, guid, open, active, now);
    case BanAsk::Extend:
        return PlanExtend(details, open, active, now);
    case BanAsk::Lift:
        break;
    }
    return PlanLift(details, open, active, now);
}
