#pragma once

#include "LogModel.h"

#include <string>

// Loads the log for a command; false (with the error printed) when the file
// cannot be read at all. An empty file loads as a log without lines.
bool LoadLogForCommand(LogModel& model, const std::string& path);

// The classification walk the view runs when it first shows a log: every
// line, in the default steps.
void RunClassificationWalk(LogModel& model);
