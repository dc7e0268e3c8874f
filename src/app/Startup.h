#pragma once

#include "AppConfig.h"
#include "Messages.h"
#include "StartupOptions.h"

#include <optional>

class CMainFrame;

// The start-up work between making the main window and showing it, in its
// order: the logs named on the command line are opened first (opening and
// classifying a log needs nothing of the configuration), then the
// configuration is read into the global one. A configuration that cannot be
// read leaves no servers and no database, without a message; the lines it
// refused are told in one message box. False when a log could not be opened
// (each such log has been reported).
bool RunStartup(CMainFrame& frame, const StartupOptions& options);

// Reads the configuration that `--config` names, or the one found in the
// usual places, into the program's global configuration.
void LoadGlobalConfig(const QString& configOption);

// Reads the global configuration again from the same file (the Servers
// dialog wrote it): its servers, database and refused lines as the file
// says now, in place of those read before. Whatever holds the configuration
// by reference sees the new one; nothing may keep a pointer into the old
// server list across it. False when the file could not be read (no servers
// and no database then, as at start-up).
bool ReloadGlobalConfig();

// Every line the reader refused, one a line with its file and line number,
// as one message under the application title (the first 25, then how many
// more); nothing when none was.
std::optional<Message> ConfigRefusalsMessage(const AppConfig& config);
