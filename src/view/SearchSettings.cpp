#include "SearchSettings.h"

#include "CSearchDlg.h"
#include "UserSettings.h"

#include <QSettings>

namespace {

std::int32_t ReadOption(const QSettings& settings, const QString& name) {
    bool isNumber = false;
    const int value = settings.value(name, 0).toInt(&isNumber);
    return isNumber ? value : 0;
}

} // namespace

void LoadSearchOptions(CSearchDlg& dialog) {
    QSettings settings = UserSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    dialog.caseSensitive = ReadOption(settings, QStringLiteral("CaseSensitive"));
    dialog.regExp = ReadOption(settings, QStringLiteral("RegExp"));
    dialog.backwards = ReadOption(settings, QStringLiteral("Backwards"));
}

void SaveChangedSearchOptions(const CSearchDlg& dialog) {
    QSettings settings = UserSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    if (ReadOption(settings, QStringLiteral("CaseSensitive")) == dialog.caseSensitive &&
        ReadOption(settings, QStringLiteral("RegExp")) == dialog.regExp &&
        ReadOption(settings, QStringLiteral("Backwards")) == dialog.backwards) {
        return;
    }
    settings.setValue(QStringLiteral("CaseSensitive"), dialog.caseSensitive);
    settings.setValue(QStringLiteral("RegExp"), dialog.regExp);
    settings.setValue(QStringLiteral("Backwards"), dialog.backwards);
}
