#include "LogClassifier.h"

#include <vector>

LogClassifier::LogClassifier()
    : playerSlots_(std::make_unique<PlayerSlotTable>()), guidTable_(std::make_unique<GuidTable>()) {
}

void LogClassifier::Reset() {
    playerSlots_ = std::make_unique<PlayerSlotTable>();
    guidTable_ = std::make_unique<GuidTable>();
    timeline_.Clear();
    aliasMemos_ = {};
    chatSlots_.Clear();
    classifiedCount_ = 0;
}

void LogClassifier::RestartKeepingPlayers() {
    auto slots = std::make_unique<PlayerSlotTable>();
    auto guids = std::make_unique<GuidTable>();
    timeline_.Clear();
    for (int s = 0; s < PlayerSlotTable::kSlotCount; ++s) {
        const PlayerSlot& held = playerSlots_->Slot(s);
        if (const ConnectionRecord* connection = held.connection) {
            slots->SetConnection(s, connection->Guid(), connection->address.view());
            if (const auto* aliases = guidTable_->Aliases(connection->Guid())) {
                // Newest first in the table: added oldest first, they keep
                // their order.
                std::vector<std::string_view> names;
                for (const AliasName& alias : *aliases) {
                    names.push_back(alias.name.view());
                }
                for (auto name = names.rbegin(); name != names.rend(); ++name) {
                    guids->AddAlias(connection->Guid(), *name);
                }
            }
        }
        if (held.connection != nullptr || held.team != 0 || !held.name.view().empty()) {
            slots->SetNameAndTeam(s, held.name.view(), held.team);
            // From before the first line on.
            timeline_.Record(s, -1, {held.team, slots->ConnectionIndex(s)});
        }
    }
    playerSlots_ = std::move(slots);
    guidTable_ = std::move(guids);
    aliasMemos_ = {};
    chatSlots_.Clear();
    classifiedCount_ = 0;
}
