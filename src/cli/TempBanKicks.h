#pragma once

#include "AppConfig.h"
#include "BanState.h"

#include <cstdint>

// After a temp-ban: the player kicked at once from every configured server
// he is on now (KickWherePlaying), temp-kicked for what is left of the ban
// that holds him (kicked, when a permanent ban stands), with its reason; a
// line "<server>: <what came of it>" a server. The outcomes are kept in the
// ban records when the configuration names a player database. 0, or 1 when a
// record was not stored: a server that is down or refuses leaves the ban
// state as it is, and the kick at the next connect is the service's.
int KickWhereBannedPlays(const AppConfig& config, const BanState& state, std::int64_t now);
