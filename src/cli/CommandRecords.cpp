#include "CommandRecords.h"

#include "Commands.h"

#include <algorithm>

std::unique_ptr<BanRecordStore> RecordsFor(const AppConfig& config) {
    const std::string location = config.DatabaseLocation();
    if (location.empty()) {
        return nullptr;
    }
    return std::make_unique<BanRecordStore>(location);
}

bool CloseRecords(BanRecordStore* records) {
    if (records == nullptr) {
        return true;
    }
    records->Close();
    if (const auto failure = records->FailureMessage()) {
        PrintError(OneLine(failure->text));
        return false;
    }
    return true;
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}
