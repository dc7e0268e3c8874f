#include "BanState.h"

BanStatus BanState::StatusAt(std::int64_t now) const {
    if (endCause == BanEnd::Lifted) {
        return BanStatus::Lifted;
    }
    if (endCause == BanEnd::Replaced) {
        return BanStatus::Replaced;
    }
    return ActiveAt(now) ? BanStatus::Active : BanStatus::Expired;
}

const char* BanKindWord(BanKind kind) {
    return kind == BanKind::Permanent ? "permanent" : "temporary";
}

const char* BanEndWord(BanEnd end) {
    switch (end) {
    case BanEnd::Lifted:
        return "lifted";
    case BanEnd::Replaced:
        return "replaced";
    case BanEnd::Expired:
        break;
    }
    return "expired";
}

const char* BanStatusWord(BanStatus status) {
    switch (status) {
    case BanStatus::Active:
        return "active";
    case BanStatus::Expired:
        return "expired";
    case BanStatus::Lifted:
        return "lifted";
    case BanStatus::Replaced:
        break;
    }
    return "replaced";
}

std::string BanStatusText(const BanState& state, std::int64_t now) {
    const std::string ban = state.kind == BanKind::Permanent ? "ban" : "temp-ban";
    switch (state.StatusAt(now)) {
    case BanStatus::Active:
        return ActiveBanText(state);
    case BanStatus::Expired:
        return ban + " expired " + state.expiryTime;
    case BanStatus::Lifted:
        return ban + " lifted " + state.endedTime + " by " + state.liftedBy +
               (state.liftReason.empty() ? "" : " (" + state.liftReason + ")");
    case BanStatus::Replaced:
        break;
    }
    return ban + " replaced " + state.endedTime;
}

std::string ActiveBanText(const std::optional<BanState>& active) {
    if (!active) {
        return {};
    }
    return active->expiry ? "banned until " + active->expiryTime : "banned";
}

std::string BanStateLine(const BanState& state, std::int64_t now) {
    std::string line = state.guid + "  " + BanStatusText(state, now) + "  since " +
                       state.startTime + " by " + state.issuedBy;
    if (!state.name.empty()) {
        line += "  name: " + state.name;
    }
    if (!state.reason.empty()) {
        line += "  reason: " + state.reason;
    }
    return line;
}
