#include "BanRecord.h"

#include "BanOutcome.h"

#include <algorithm>

namespace {

// The action as the lists say it: the word kept, a temp-kick with its minutes.
std::string ActionTitle(const BanRecord& record) {
    if (record.action != BanActionWord(BanAction::TempKick)) {
        return record.action;
    }
    std::string title = "temp-kick";
    if (record.minutes) {
        title += " " + std::to_string(*record.minutes) + " min";
    }
    return title;
}

} // namespace

std::string BanRecordLine(const BanRecord& record) {
    std::string result = record.result;
    std::replace(result.begin(), result.end(), '\n', ' ');
    std::string line = record.time + "  " + ActionTitle(record) + " on " + record.server;
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
