#pragma once

#include "LogModel.h"

#include <string>

// Loads the log for a command; false (with the error printed) when the file
// cannot be read at all. An empty file loads as a log without lines.
bool LoadLogForCommand(LogModel& model, const std::string& path);

// The same, splitting only the file's first part: for a command that reads
// the file's bytes itself and classifies only when it must.
bool LoadLogHeadForCommand(LogModel& model, const std::string& path);

// The same, and classifies every line as the view does when it first shows
// the log.
bool LoadClassifiedLogForCommand(LogModel& model, const std::string& path);
