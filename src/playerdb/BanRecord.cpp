#include "BanRecord.h"

#include <algorithm>

std::string BanRecordLine(const BanRecord& record) {
    std::string result = record.result;
    std::replace(result.begin(), result.end(), '\n', ' ');
    // A record without a server is that of the ban state, which every
    // server is to hold.
    std::string line = record.time + "  " + record.action +
                       (record.server.empty() ? " for all servers" : " on " + record.server);
    if (!record.admin.empty()) {
        line += " by " + record.admin;
    }
    line += ": " + result;
    if (!record.reason.empty()) {
        line += " (reason: " + record.reason + ")";
    }
    return line;
}
