#include "DatabaseAliasesCommand.h"

#include "AliasesLookup.h"
#include "AppConfig.h"
#include "CDatabaseAliasesDlg.h"
#include "MessageBoxSink.h"
#include "SqlPlayerDatabase.h"

void ShowAliasesFromDatabase(QWidget* playerInfo, AliasSource& database, std::string_view guid,
                             MessageSink& messages) {
    const AliasesLookup lookup = LookUpAliases(database, guid);
    if (lookup.message) {
        messages.Show(*lookup.message);
        return;
    }
    QStringList names;
    names.reserve(static_cast<qsizetype>(lookup.names.size()));
    for (const std::string& name : lookup.names) {
        names << QString::fromStdString(name); // the lookup gives UTF-8
    }
    CDatabaseAliasesDlg dialog(names, playerInfo);
    dialog.exec();
}

void ShowAliasesFromDatabase(QWidget* playerInfo, const AppConfig& config, std::string_view guid) {
    SqlPlayerDatabase database(config.DatabaseLocation());
    MessageBoxSink messages(playerInfo);
    ShowAliasesFromDatabase(playerInfo, database, guid, messages);
}
