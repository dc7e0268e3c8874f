#include "Arguments.h"
#include "Commands.h"
#include "Json.h"
#include "LogLoading.h"
#include "LogModel.h"

#include <cstdio>

namespace {

void AppendConnection(std::string& out, const ConnectionRecord* connection) {
    if (connection == nullptr) {
        out += "null";
        return;
    }
    out += "{\"guid\": ";
    AppendJsonLogText(out, connection->Guid());
    out += ", \"address\": ";
    AppendJsonLogText(out, connection->address.view());
    out += "}";
}

// One slot a line, in slot order.
void AppendSlots(std::string& out, const PlayerSlotTable& slotTable) {
    out += "\"slots\": [";
    for (int i = 0; i < PlayerSlotTable::kSlotCount; ++i) {
        const PlayerSlot& slot = slotTable.Slot(i);
        out += i == 0 ? "\n" : ",\n";
        out += "{\"slot\": " + std::to_string(i) + ", \"name\": ";
        AppendJsonLogText(out, slot.name.view());
        out += ", \"team\": " + std::to_string(slot.team) + ", \"connection\": ";
        AppendConnection(out, slot.connection);
        out += "}";
    }
    out += "\n]";
}

// One GUID a line, in bucket order and within a bucket from its head.
void AppendGuids(std::string& out, const GuidTable& guids) {
    out += "\"guids\": [";
    bool first = true;
    for (int bucket = 0; bucket < GuidTable::kBucketCount; ++bucket) {
        for (const GuidEntry& entry : guids.BucketChain(bucket)) {
            out += first ? "\n" : ",\n";
            first = false;
            out += "{\"guid\": ";
            AppendJsonLogText(out, entry.Guid());
            out += ", \"aliases\": [";
            bool firstAlias = true;
            for (const AliasName& alias : entry.aliases) {
                out += firstAlias ? "" : ", ";
                firstAlias = false;
                AppendJsonLogText(out, alias.name.view());
            }
            out += "]}";
        }
    }
    out += first ? "]" : "\n]";
}

} // namespace

int RunPlayers(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "players", error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? "usage: quarvelctl players LOG [--walks N]" : error);
        return 2;
    }
    const auto walks = args->Integer("walks", 1, error);
    if (!walks || *walks < 0) {
        PrintError(error.empty() ? "--walks must not be negative" : error);
        return 2;
    }
    LogModel model;
    // A log is classified once, however many views show it: every walk
    // after the first finds nothing left to do. --walks 0 shows the tables
    // before any walk.
    const std::string& path = args->positional().front();
    if (!(*walks > 0 ? LoadClassifiedLogForCommand(model, path) : LoadLogForCommand(model, path))) {
        return 2;
    }

    const PlayerSlotTable& slotTable = model.playerSlots();
    std::string out = "{";
    AppendSlots(out, slotTable);
    out += ",\n";
    AppendGuids(out, model.guidTable());
    out += ",\n\"connectionCount\": " + std::to_string(slotTable.connectionCount()) + "}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
