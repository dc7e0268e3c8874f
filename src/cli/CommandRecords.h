#pragma once

#include "AppConfig.h"
#include "BanRecordStore.h"

#include <memory>
#include <string>

// The ban records quarvelctl's ban, unban, kick and say keep their outcomes
// in: those of the configured player database; none without one.
std::unique_ptr<BanRecordStore> RecordsFor(const AppConfig& config);

// Closes the records and says on stderr what was not stored. False when a
// record was lost (the command then exits 1); true without records.
bool CloseRecords(BanRecordStore* records);

// A message on one line: its line breaks become blanks.
std::string OneLine(std::string text);
