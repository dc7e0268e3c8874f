#pragma once

#include <optional>
#include <string>

// One row of the ban records: one server asked to ban or unban one GUID, or
// to kick, temp-kick or message one player. Texts are UTF-8; what an action
// did not know (an unban by GUID alone knows no name, address or reason; a
// player's GUID may be unknown) is empty.
struct BanRecord {
    std::string time;   // local time with its UTC offset, "YYYY-MM-DDTHH:MM:SS+HH:MM"
    std::string action; // "ban", "unban", "kick", "tempkick" or "message"
    std::string guid;
    std::string name; // as the log writes it, colour codes included
    std::string ip;
    std::string reason;                        // for a message, the text said
    std::string server;                        // the server's name
    std::string result;                        // the message shown for that server
    std::string admin;                         // the login name of the user who asked
    std::optional<int> minutes = std::nullopt; // a temp-kick's

    bool operator==(const BanRecord&) const = default;
};

inline constexpr char kBanActionText[] = "ban";
inline constexpr char kUnbanActionText[] = "unban";

// One line for a list of records, newest first in the windows:
// "2004-02-01T21:05:09+01:00  ban on Public #1 by alice: GUID added to ban
// list (reason: aimbot)"; a temp-kick says "temp-kick 15 min on ...", a
// message "(said: ...)" for its reason. Line breaks of the message become
// blanks.
std::string BanRecordLine(const BanRecord& record);
