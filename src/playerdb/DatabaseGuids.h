#pragma once

#include "GuidSource.h"

#include <map>
#include <optional>
#include <string>

class PlayerLookup;

// The GUIDs the player database gives a live server's players: the GUID last
// seen with the player's address (the newest sighting first, as Find player
// orders them). A database error is kept, not thrown, so that one failing
// database leaves the rest of what a server shows; the first is in
// `failure()`, and no later look-up is tried. Answers are kept for the
// object's life, so a panel polling every few seconds asks once an address.
class DatabaseGuids : public GuidSource {
public:
    // `lookup` is open, and outlives this object.
    explicit DatabaseGuids(PlayerLookup& lookup) : lookup_(lookup) {}
    std::optional<KnownGuid> Find(int slot, std::string_view ip) override;

    // The engine's description of the first failure; empty when none.
    const std::string& failure() const { return failure_; }

private:
    PlayerLookup& lookup_;
    std::map<std::string, std::optional<KnownGuid>, std::less<>> known_;
    std::string failure_;
};
