#pragma once

#include <QDialog>
#include <optional>

class BanDurationFields;

// How much longer a temp-ban lasts (the Bans window's Extend): one of the
// usual durations or a number of minutes typed.
class CBanMinutesDlg : public QDialog {
    Q_OBJECT

public:
    CBanMinutesDlg(const QString& title, const QString& prompt, QWidget* parent);

    // The duration chosen.
    long long minutes() const;

    // Asks modally; nothing when the user cancels.
    static std::optional<long long> Ask(QWidget* parent, const QString& title,
                                        const QString& prompt);

private:
    BanDurationFields* duration_ = nullptr;
};
