#include "FindPlayerCommand.h"

#include "AppConfig.h"
#include "CFindPlayerDlg.h"
#include "LogText.h"

void ShowFindPlayer(QWidget* parent, const AppConfig& config, std::string_view guid,
                    ShowLinesHandler showLines) {
    CFindPlayerDlg dialog(config, parent);
    dialog.SetShowLines(std::move(showLines));
    if (!guid.empty()) {
        dialog.StartFind(PlayerSearchMode::Guid, LogTextToQString(guid));
    }
    dialog.exec();
}
