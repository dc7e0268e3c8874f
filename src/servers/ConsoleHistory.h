#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The commands typed into the RCON console, newest last, for Up and Down:
// at most kKept, kept across runs in the user's settings. A command that
// holds a configured RCON password, or that sets a password, is never kept
// (it would sit in the settings file in clear).
class ConsoleHistory {
public:
    static constexpr int kKept = 200;

    // `secrets`: the passwords a kept command must not hold.
    explicit ConsoleHistory(std::vector<QString> secrets = {});

    // The kept commands, oldest first.
    const QStringList& entries() const { return entries_; }
    void SetEntries(QStringList entries);

    // A command was sent: kept (the same command typed again moves to the
    // end), and the Up/Down walk starts again from the end.
    void Add(const QString& command);
    // Up: the command before the one shown (the newest the first time);
    // empty when there is none. Down: the one after, or empty past the end
    // (the line is cleared).
    QString Older();
    QString Newer();

    // The passwords a kept command must not hold, anew (the configuration
    // was read again).
    void SetSecrets(std::vector<QString> secrets) { secrets_ = std::move(secrets); }
    // Whether a command may be kept.
    bool Keepable(const QString& command) const;

    // From and to the user's settings ("RconConsole/History").
    void Load();
    void Save() const;

private:
    std::vector<QString> secrets_;
    QStringList entries_;
    int position_ = 0; // entries_.size() when at the end
};
