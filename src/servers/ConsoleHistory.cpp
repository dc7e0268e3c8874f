#include "ConsoleHistory.h"

#include "UserSettings.h"

namespace {

const QString kHistoryKey = QStringLiteral("RconConsole/History");

// Commands whose argument is a password, in the engines' spellings.
const QStringList kPasswordSetters = {
    QStringLiteral("rconpassword"),       QStringLiteral("rcon_password"),
    QStringLiteral("sv_privatepassword"), QStringLiteral("g_password"),
    QStringLiteral("sv_password"),        QStringLiteral("password"),
};

} // namespace

ConsoleHistory::ConsoleHistory(std::vector<QString> secrets) : secrets_(std::move(secrets)) {}

bool ConsoleHistory::Keepable(const QString& command) const {
    const QString trimmed = command.trimmed();
    if (trimmed.isEmpty()) {
        return false;
    }
    for (const QString& secret : secrets_) {
        if (!secret.isEmpty() && trimmed.contains(secret)) {
            return false;
        }
    }
    // "rconpassword x", "set g_password x", "seta rcon_password x", ...
    QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.front().startsWith(QStringLiteral("set"), Qt::CaseInsensitive) &&
        words.front().size() <= 4) {
        words.removeFirst();
    }
    return words.isEmpty() || !kPasswordSetters.contains(words.front(), Qt::CaseInsensitive);
}

void ConsoleHistory::SetEntries(QStringList entries) {
    entries_.clear();
    for (const QString& entry : entries) {
        if (Keepable(entry)) {
            entries_.append(entry);
        }
    }
    while (entries_.size() > kKept) {
        entries_.removeFirst();
    }
    position_ = static_cast<int>(entries_.size());
}

void ConsoleHistory::Add(const QString& command) {
    if (Keepable(command)) {
        entries_.removeAll(command);
        entries_.append(command);
        while (entries_.size() > kKept) {
            entries_.removeFirst();
        }
    }
    position_ = static_cast<int>(entries_.size());
}

QString ConsoleHistory::Older() {
    if (position_ > 0) {
        --position_;
    }
    return position_ < entries_.size() ? entries_[position_] : QString();
}

QString ConsoleHistory::Newer() {
    if (position_ < entries_.size()) {
        ++position_;
    }
    return position_ < entries_.size() ? entries_[position_] : QString();
}

void ConsoleHistory::Load() {
    SetEntries(UserSettings().value(kHistoryKey).toStringList());
}

void ConsoleHistory::Save() const {
    UserSettings().setValue(kHistoryKey, entries_);
}
