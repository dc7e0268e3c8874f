#pragma once

#include <string_view>

class AppConfig;
class QWidget;

// Tools > Find player and the Player Info window's "Find player..." button:
// the Find player window over `parent`, modal, on the configured database;
// with a GUID (log bytes) it finds that GUID at once.
void ShowFindPlayer(QWidget* parent, const AppConfig& config, std::string_view guid = {});
