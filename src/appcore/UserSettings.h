#pragma once

#include <QSettings>
#include <QString>

// Where the program keeps the user's settings: organisation "Jor",
// application "Quarvel" (the window placement, the recent files, the search
// and print choices). The applications name themselves the same way.
inline constexpr char kSettingsOrganisation[] = "Jor";
inline constexpr char kSettingsApplication[] = "Quarvel";

inline QSettings UserSettings() {
    return QSettings(QString::fromLatin1(kSettingsOrganisation),
                     QString::fromLatin1(kSettingsApplication));
}
