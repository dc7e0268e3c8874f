#pragma once

#include <QDialog>
#include <functional>
#include <string>

class BanDurationFields;
class QLineEdit;
class QPushButton;

// "Temp-ban": how long a player is kept off every server, and why. The
// duration is one of the presets admins use most (1 hour to 30 days) or a
// number of minutes typed with "Custom"; OK needs a reason.
class CTempBanDlg : public QDialog {
    Q_OBJECT

public:
    // `name` is the player's name as shown (colour codes taken out).
    CTempBanDlg(const QString& name, QWidget* parent);

    // The duration chosen, in minutes.
    long long minutes() const;
    // The reason typed, UTF-8.
    std::string reason() const;

private:
    void UpdateControls();

    BanDurationFields* duration_ = nullptr;
    QLineEdit* reason_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Asks the temp-ban's duration and reason over `parent` without a loop of
// its own; `then` gets them (the reason as log bytes) once OK is pressed,
// nothing comes on Cancel. The dialog deletes itself when closed.
void AskTempBan(QWidget* parent, const QString& name,
                std::function<void(long long minutes, std::string reason)> then);
