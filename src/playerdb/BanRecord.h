#pragma once

#include <string>

// One row of the ban records: one server asked to ban or unban one GUID. Texts
// are UTF-8; what an action did not know (an unban by GUID alone knows no
// name, address or reason) is empty.
struct BanRecord {
    std::string time;   // local time with its UTC offset, "YYYY-MM-DDTHH:MM:SS+HH:MM"
    std::string action; // "ban" or "unban"
    std::string guid;
    std::string name; // as the log writes it, colour codes included
    std::string ip;
    std::string reason;
    std::string server; // the server's name; empty for the record of a ban state (BanStates)
    std::string result; // the message shown for that server
    std::string admin;  // the login name of the user who asked

    bool operator==(const BanRecord&) const = default;
};

inline constexpr char kBanActionText[] = "ban";
inline constexpr char kUnbanActionText[] = "unban";

// One line for a list of records, newest first in the windows:
// "2004-02-01T21:05:09+01:00  ban on Public #1 by alice: GUID added to ban
// list (reason: aimbot)"; a ban state's record reads "... ban for all servers by
// alice: ...". Line breaks of the message become blanks.
std::string BanRecordLine(const BanRecord& record);
