#pragma once

#include <string_view>

class AliasSource;
class AppConfig;
class MessageSink;
class QWidget;

// The Player Info window's "Aliases from database" button: looks the GUID
// (log bytes; empty when the log held no connection data) up in the
// configured player database and shows its names in a CDatabaseAliasesDlg
// over `playerInfo`, or tells why not in a message box owned by it: "GUID not
// found in the database" or "Guid_Key not found in the database" under
// "Aliases", an engine's description or "Other error" under "Quarvel". The
// database is opened and closed again by each call.
void ShowAliasesFromDatabase(QWidget* playerInfo, const AppConfig& config, std::string_view guid);

// The same over a given database, with the messages going to `messages`.
void ShowAliasesFromDatabase(QWidget* playerInfo, AliasSource& database, std::string_view guid,
                             MessageSink& messages);
