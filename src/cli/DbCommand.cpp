// quarvelctl db status|upgrade: the player database itself.
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "DatabaseStatus.h"
#include "Json.h"

#include <cstdio>

namespace {

std::string StatusJson(const DatabaseStatus& status) {
    std::string out = "{\"schemaVersion\": " + std::to_string(status.schemaVersion) +
                      ", \"programSchemaVersion\": " + std::to_string(status.programSchemaVersion) +
                      ", \"guids\": " + std::to_string(status.guids) +
                      ", \"players\": " + std::to_string(status.players) + ", \"banRecords\": " +
                      (status.banRecords < 0 ? "null" : std::to_string(status.banRecords)) +
                      ", \"activeBans\": " +
                      (status.activeBans < 0 ? "null" : std::to_string(status.activeBans)) +
                      ", \"upgrades\": [";
    for (std::size_t i = 0; i < status.history.size(); ++i) {
        const SchemaHistoryEntry& entry = status.history[i];
        out += (i == 0 ? "{" : ", {") + std::string("\"version\": ") +
               std::to_string(entry.version) + ", \"applied\": ";
        AppendJsonString(out, entry.applied);
        out += ", \"note\": ";
        AppendJsonString(out, entry.note);
        out += "}";
    }
    out += "], \"followers\": [";
    for (std::size_t i = 0; i < status.followers.size(); ++i) {
        const FollowerPlace& place = status.followers[i].place;
        int filled = 0;
        for (const HarvestSlot& slot : place.harvestSlots) {
            filled += slot.connected ? 1 : 0;
        }
        out += i == 0 ? "{\"host\": " : ", {\"host\": ";
        AppendJsonString(out, place.key.host);
        out += ", \"log\": ";
        AppendJsonString(out, place.key.logPath);
        out += ", \"device\": " + std::to_string(place.file.device) +
               ", \"inode\": " + std::to_string(place.file.inode) +
               ", \"offset\": " + std::to_string(place.offset) +
               ", \"slots\": " + std::to_string(filled) + ", \"stored\": ";
        AppendJsonString(out, status.followers[i].storedAt);
        out += "}";
    }
    return out + "]}\n";
}

} // namespace

int RunDb(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "db", error);
    const bool known = args && args->positional().size() == 1 &&
                       (args->positional()[0] == "status" || args->positional()[0] == "upgrade");
    if (!known) {
        PrintError(args ? "usage: quarvelctl db status|upgrade [--config FILE]" : error);
        return 2;
    }
    const auto location = LoadDatabaseLocationForCommand(*args);
    if (!location) {
        return 1;
    }
    try {
        if (args->positional()[0] == "status") {
            const std::string out = StatusJson(ReadDatabaseStatus(*location));
            std::fwrite(out.data(), 1, out.size(), stdout);
            return 0;
        }
        const std::vector<std::string> said = UpgradeDatabase(*location);
        for (const std::string& line : said) {
            std::printf("%s\n", line.c_str());
        }
        if (said.empty()) {
            std::printf("the player database is up to date\n");
        }
        return 0;
    } catch (const DatabaseError& failure) {
        PrintError(failure.what());
        return 1;
    }
}
