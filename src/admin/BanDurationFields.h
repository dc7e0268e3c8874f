#pragma once

#include <QObject>

class QComboBox;
class QFormLayout;
class QSpinBox;
class QWidget;

// How long a temp-ban lasts, or how much longer: the durations admins use
// most (1 hour, 6 hours, 1 day, 2 days, 7 days, 30 days) or a number of
// minutes typed with "Custom (minutes)", from 1 to the longest temp-ban. The
// Temp-ban question and the Bans window's Extend ask it alike.
class BanDurationFields : public QObject {
    Q_OBJECT

public:
    // The durations offered, in minutes, in the order shown.
    static constexpr int kPresets[] = {60, 6 * 60, 24 * 60, 2 * 24 * 60, 7 * 24 * 60, 30 * 24 * 60};

    // The fields are children of `parent`.
    explicit BanDurationFields(QWidget* parent);

    // Adds "&Duration:" and "&Minutes:" rows to `form`.
    void AddRows(QFormLayout& form) const;

    // The duration chosen, in minutes.
    long long minutes() const;

private:
    QComboBox* choice_ = nullptr;
    QSpinBox* custom_ = nullptr;
};
