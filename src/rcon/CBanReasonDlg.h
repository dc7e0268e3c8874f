#pragma once

#include "BanFlow.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// "Ban reason": asks the admin, server by server, why the player is banned.
// One dialog serves one Ban click: the ban flow asks it once per server, with
// the prompt naming the server and the reason emptied each time. OK bans with
// the reason as typed (an empty one included); Cancel or closing the window
// skips that server.
class CBanReasonDlg : public QDialog, public BanReasonSource {
    Q_OBJECT

public:
    explicit CBanReasonDlg(QWidget* parent = nullptr);

    // Shows the dialog modally with `prompt` (UTF-8) and an empty reason. The
    // reason as log bytes on OK; nothing otherwise.
    std::optional<std::string> AskReason(const std::string& prompt) override;

    QString promptText() const;
    QString reasonText() const;

private:
    QLabel* prompt_ = nullptr;
    QLineEdit* reason_ = nullptr;
};
