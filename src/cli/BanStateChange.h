#pragma once

#include "BanStates.h"

#include <functional>
#include <string>

// Makes one change to the ban state of the player database at `location`
// (ban, tempban, unban) and prints "Ban state: <what it did>" on stdout, or
// the database's failure on stderr. 0 when the state holds what was asked
// (made, already held by a ban as long or longer, lifted, nothing to lift),
// 1 otherwise.
int ChangeBanState(const std::string& location,
                   const std::function<BanChange(BanStates& states)>& change);
