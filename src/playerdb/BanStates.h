#pragma once

#include "BanState.h"
#include "BanStatePlan.h"
#include "BanTime.h"
#include "ConflictBackoff.h"
#include "LoginName.h"
#include "SqlConnection.h"

#include <QSqlQuery>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which states List returns; every filter given must hold.
struct BanStateFilter {
    bool activeOnly = false; // only states that hold a player off now
    std::string guid;        // the whole GUID, either case; empty: every GUID
    // A part of a name, letter case ignored: a name the GUID was seen with
    // (table Players) or the name the ban gave. Empty: any.
    std::string name;
    std::string admin; // who issued or lifted it, exactly; empty: anyone
    int limit = -1;    // the most states returned; -1: all
};

// The ban states of the player database at `location`: the team's one answer
// to "is this GUID banned now, why, and until when", and the place every ban,
// temp-ban, lift and extension is kept, whichever window, command or service
// made it.
//
// Each change runs in one transaction: it reads the GUID's open state,
// decides, writes the states and one ban record (server name empty: the
// record of the state, beside the records of each server asked) and
// commits. Changes of one GUID take turns across programs (SQLite's write
// lock; on PostgreSQL a lock of the GUID), so two admins banning or lifting
// at once end in one state, the second deciding on what the first did; a
// change the engine gives up for another writer's sake is tried again
// (ConflictBackoff), as the harvest tries its steps again. A ban of a GUID
// table GUID does not know adds it there.
//
// The rules: a GUID has at most one active state. A permanent ban replaces an
// active temp-ban; a temp-ban never shortens an active ban (a permanent one,
// or a temp-ban ending later, stands, and nothing is written); a temp-ban
// ending later than an active one replaces it. A temp-ban that runs out
// needs nothing done: Active compares its expiry with the clock. Lift ends
// the active state; Extend moves an active temp-ban's expiry later.
//
// The connection opens at the first call (or Open) and stays open until
// Close, so that the check at every connect costs one indexed statement,
// prepared once. A database from before ban states is read as holding none
// and is upgraded at the first change. Failures raise DatabaseError; after
// one that lost the connection, the next call opens it again.
class BanStates {
public:
    // `admin` is who every change is made by; `clock` says now (tests fix
    // it): the start of new states, the end of lifted ones, and the instant
    // Active and List compare expiries with.
    explicit BanStates(std::string location, std::string admin = LoginName(),
                       BanClock clock = LocalBanTime);
    ~BanStates();
    BanStates(const BanStates&) = delete;
    BanStates& operator=(const BanStates&) = delete;

    void Open();
    void Close();
    bool isOpen() const { return connection_.isOpen(); }

    // The GUID's state if it holds the player off now: the check to run on
    // every ClientConnect line. None for a GUID that is no GUID.
    std::optional<BanState> Active(std::string_view guid);

    BanChange Ban(const BanRequest& request);
    // A ban for `minutes` (1 to kMaxBanMinutes) from now.
    BanChange TempBan(const BanRequest& request, long long minutes);
    // Ends the GUID's active state, by this object's admin, for `why` (may
    // be empty). An unban.
    BanChange Lift(std::string_view guid, std::string_view why);
    // Moves the active temp-ban's expiry `minutes` later: a new state from
    // now to then replaces it, with its reason. `why` goes to the record (the
    // ban's reason when empty). A permanent ban is left as it is.
    BanChange Extend(std::string_view guid, long long minutes, std::string_view why);

    // States newest first (by start, then as stored).
    std::vector<BanState> List(const BanStateFilter& filter);
    // Every state of the GUID, newest first.
    std::vector<BanState> History(std::string_view guid);

    // The clock's now, in seconds since 1970 UTC.
    std::int64_t Now() const { return clock_().epochSeconds; }

private:
    BanChange Change(const BanAskDetails& ask);
    BanChange ChangeOnce(const BanAskDetails& ask);
    void OpenForChanges();
    bool HasTable();
    std::optional<BanState> ReadOpen(const std::string& guid);
    void AddGuidIfUnknown(const std::string& guid);
    std::int64_t Insert(const BanState& state);
    void End(const BanState& state, BanEnd cause, std::int64_t at, const std::string& atText,
             const std::string& why);

    std::string location_;
    std::string admin_;
    BanClock clock_;
    SqlConnection connection_;
    std::optional<QSqlQuery> active_; // the check at every connect, prepared once
    bool hasTable_ = false;
    bool upgraded_ = false;
    ConflictBackoff backoff_;
};
