// quarvelctl history: the ban records (bans, unbans and the live servers'
// kicks, temp-kicks and messages) as JSON Lines, newest first, of one GUID or
// of all.
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "Json.h"
#include "SqlPlayerLookup.h"

#include <cstdio>

namespace {

std::string RecordLine(const BanRecord& record) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"time", &record.time},     {"action", &record.action}, {"guid", &record.guid},
        {"name", &record.name},     {"ip", &record.ip},         {"reason", &record.reason},
        {"server", &record.server}, {"result", &record.result}, {"admin", &record.admin},
    };
    std::string out = "{";
    for (const auto& [key, value] : fields) {
        out += out.size() == 1 ? "\"" : ", \"";
        out += key;
        out += "\": ";
        AppendJsonString(out, *value);
    }
    out += ", \"minutes\": ";
    out += record.minutes ? std::to_string(*record.minutes) : std::string("null");
    out += "}\n";
    return out;
}

} // namespace

int RunHistory(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "history", error);
    if (!args || !args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl history [--config FILE] [--guid G] [--limit N]"
                        : error);
        return 2;
    }
    const auto limit = args->Integer("limit", -1, error);
    if (!limit || (args->Value("limit") && (*limit < 1 || *limit > kMaxFindLimit))) {
        PrintError(error.empty() ? "--limit needs a number of records from 1 to " +
                                       std::to_string(kMaxFindLimit)
                                 : error);
        return 2;
    }
    const auto location = LoadDatabaseLocationForCommand(*args);
    if (!location) {
        return 1;
    }
    std::vector<BanRecord> records;
    try {
        SqlPlayerLookup lookup(*location);
        lookup.Open();
        records = lookup.BanHistory(args->Value("guid").value_or(""), static_cast<int>(*limit));
        lookup.Close();
    } catch (const DatabaseError& failure) {
        PrintError(failure.what());
        return 1;
    }
    for (const BanRecord& record : records) {
        const std::string line = RecordLine(record);
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
