#include "BanRecord.h"

#include "BanOutcome.h"

#include <algorithm>

namespace {

// The action as the lists say it: the word kept, a temp-kick with its
// minutes, a ban with minutes (a ban state's temp-ban) as a temp-ban.
std::string ActionTitle(const BanRecord& record) {
    const bool tempBan = record.action == BanActionWord(BanAction::Ban) && record.minutes;
    if (record.action != BanActionWord(BanAction::TempKick) && !tempBan) {
        return record.action;
    }
    std::string title = tempBan ? "temp-ban" : "temp-kick";
    if (record.minutes) {
        title += " " + std::to_string(*record.minutes) + " min";
    }
    return title;
}

} // namespace

std::string BanRecordLine(const BanRecord& record) {
    std::string result = record.result;
    std::replace(result.begin(), result.end(), '\n', ' ');
    // A record without a server is that of the ban state, which every
    // server is to hold.
    std::string line = record.time + "  " + ActionTitle(record) +
                       (record.server.empty() ? " for all servers" : " on " + record.server);
    if (!record.admin.empty()) {
        line += " by " + record.admin;
    }
    line += ": " + result;
    if (!record.reason.empty()) {
        const bool said = record.action == BanActionWord(BanAction::Message);
        line += (said ? " (said: " : " (reason: ") + record.reason + ")";
    }
    return line;
}
