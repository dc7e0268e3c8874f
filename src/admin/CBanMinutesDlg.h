#pragma once

#include <QDialog>
#include <optional>

class QComboBox;
class QSpinBox;

// How long a temp-ban lasts, or how much longer: one of the usual durations
// (1 hour, 6 hours, 1 day, 2 days, 7 days, 30 days) or a number of minutes
// typed ("Custom"), from 1 to the longest temp-ban.
class CBanMinutesDlg : public QDialog {
    Q_OBJECT

public:
    // The durations offered, in minutes, in the order shown.
    static constexpr int kPresets[] = {60, 6 * 60, 24 * 60, 2 * 24 * 60, 7 * 24 * 60, 30 * 24 * 60};

    CBanMinutesDlg(const QString& title, const QString& prompt, QWidget* parent);

    // The duration chosen.
    long long minutes() const;

    // Asks modally; nothing when the user cancels.
    static std::optional<long long> Ask(QWidget* parent, const QString& title,
                                        const QString& prompt);

private:
    QComboBox* choice_ = nullptr;
    QSpinBox* custom_ = nullptr;
};
