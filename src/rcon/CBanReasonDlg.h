#pragma once

#include "BanFlow.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

// One question of the Ban reason dialog. With `everyPrompt` empty it asks
// for one server only, as the ban flow's own questions do; otherwise it
// offers "Ask for each server": unticked, `everyPrompt` shows and the reason
// is for every server left, ticked, `prompt` shows and the reason is for this
// server alone. Prompts are UTF-8.
struct BanReasonQuestion {
    std::string prompt;
    std::string everyPrompt;
    bool eachServer = false; // the box as the question opens
};

// How a question was answered: the reason as log bytes, or nothing on
// Cancel; and whether "Ask for each server" was ticked.
struct BanReasonReply {
    std::optional<std::string> reason;
    bool eachServer = false;
};

// "Ban reason": asks the admin why the player is banned. One dialog serves
// the Ban clicks of one window: the ban flow asks it, with the prompt naming
// the server and the reason emptied each time. It is opened without a loop
// of its own; the flow goes on when it closes. OK bans with the reason as
// typed (an empty one included); Cancel or closing the window answers
// nothing.
class CBanReasonDlg : public QDialog, public BanReasonSource {
    Q_OBJECT

public:
    explicit CBanReasonDlg(QWidget* parent = nullptr);

    // Opens the dialog modal to its window with `question` and an empty
    // reason, and returns; `reply` comes when it closes. A dialog that goes
    // while asking (with its window) answers nothing.
    void Ask(const BanReasonQuestion& question, std::function<void(BanReasonReply)> reply);
    // The flow's question for one server: `prompt` only, no choice.
    void AskReason(const std::string& prompt, Answer answer) override;
    // Lays the dialog out for `question` without opening it.
    void ShowQuestion(const BanReasonQuestion& question);

    QString promptText() const;
    QString reasonText() const;

private:
    void Answered(int result);
    void ShowPrompt();

    std::function<void(BanReasonReply)> reply_;
    BanReasonQuestion question_;
    QLabel* prompt_ = nullptr;
    QLineEdit* reason_ = nullptr;
    QCheckBox* eachServer_ = nullptr;
};
