#include "BanKick.h"

#include "Windows1252.h"

#include <algorithm>

PlayerAction KickOfBan(const BanState& state, std::int64_t now) {
    PlayerAction action{BanAction::Kick, Utf8ToWindows1252(state.reason)};
    if (state.expiry) {
        action.action = BanAction::TempKick;
        action.minutes = static_cast<int>(
            std::clamp<std::int64_t>((*state.expiry - now + 59) / 60, 1, kMaxBanMinutes));
    }
    return action;
}
