#pragma once

#include "BanFlow.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// "Ban reason": asks the admin, server by server, why the player is banned.
// One dialog serves one Ban click: the ban flow asks it once per server, with
// the prompt naming the server and the reason emptied each time. It is opened
// without a loop of its own; the flow goes on when it closes. OK bans with
// the reason as typed (an empty one included); Cancel or closing the window
// skips that server.
class CBanReasonDlg : public QDialog, public BanReasonSource {
    Q_OBJECT

public:
    explicit CBanReasonDlg(QWidget* parent = nullptr);

    // Opens the dialog modal to its window with `prompt` (UTF-8) and an empty
    // reason, and returns; `answer` gets the reason as log bytes on OK, and
    // nothing on Cancel or when the window is closed. A dialog that goes
    // while asking (with its window) answers nothing.
    void AskReason(const std::string& prompt, Answer answer) override;

    QString promptText() const;
    QString reasonText() const;

private:
    void Answered(int result);

    Answer answer_;
    QLabel* prompt_ = nullptr;
    QLineEdit* reason_ = nullptr;
};
