#include "LogClassifier.h"

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
