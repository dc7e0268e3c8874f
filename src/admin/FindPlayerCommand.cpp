#include "FindPlayerCommand.h"

#include "AppConfig.h"
#include "CFindPlayerDlg.h"
#include "LogText.h"

void ShowFindPlayer(QWidget* parent, const AppConfig& config, std::string_view guid) {
    CFindPlayerDlg dialog(config, parent);
    if (!guid.empty()) {
        dialog.StartFind(PlayerSearchMode::Guid, LogTextToQString(guid));
    }
    dialog.exec();
}
