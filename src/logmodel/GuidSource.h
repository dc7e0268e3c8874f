#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where the GUID of a player on a live server was learnt. Games that print
// GUIDs in their logs give them by the log; the player database knows the
// GUIDs an address was seen with; games whose logs carry none give them only
// in the player's userinfo (its `cl_guid`), and some print them in `status`.
enum class GuidFrom { None, Status, Log, Database, Userinfo };

// The word that names each origin ("log", ...); empty for None.
constexpr std::string_view GuidFromName(GuidFrom from) {
    switch (from) {
    case GuidFrom::None:
        return "";
    case GuidFrom::Status:
        return "status";
    case GuidFrom::Log:
        return "log";
    case GuidFrom::Database:
        return "database";
    case GuidFrom::Userinfo:
        return "userinfo";
    }
    return "";
}

struct KnownGuid {
    std::string guid; // 32 hexadecimal digits
    GuidFrom from = GuidFrom::None;
    // The ban that holds the GUID off now, where the source also asked the
    // player database's ban states (UTF-8): "banned until <expiry>",
    // "banned"; empty when none holds or none was asked.
    std::string ban = {};

    bool operator==(const KnownGuid&) const = default;
};

// A place that may know the GUID of the player a server's `status` shows in a
// slot, from an address (bytes, without the port; empty for a bot or the
// loopback). The log of the server and the player database are two; the
// Servers panel and quarvelctl status ask them in turn, first answer wins.
class GuidSource {
public:
    virtual ~GuidSource() = default;
    virtual std::optional<KnownGuid> Find(int slot, std::string_view ip) = 0;
};
