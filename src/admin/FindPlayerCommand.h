#pragma once

#include <QString>
#include <functional>
#include <string_view>

class AppConfig;
class QWidget;

// Tools > Find player and the Player Info window's "Find player..." button:
// the Find player window over `parent`, modal, on the configured database;
// with a GUID (log bytes) it finds that GUID at once.
// "Show his lines": the filtered pane of the log window on one player's
// lines, given his GUID and his name.
using ShowLinesHandler = std::function<void(const QString& guid, const QString& name)>;

// With `showLines`, the window's "Show his lines" button hands it the
// selected player and closes the window; without, the button stays off.
void ShowFindPlayer(QWidget* parent, const AppConfig& config, std::string_view guid = {},
                    ShowLinesHandler showLines = {});
