#pragma once

#include "Messages.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

// Shows the program's messages as modal message boxes over an owner window:
// the message's caption (the application title "Quarvel" when it has none),
// its icon and a single OK button. Show returns once the user has pressed OK;
// ShowThen returns at once. The box is wide enough for its caption to show
// whole.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* owner) : owner_(owner) {}

    void Show(const Message& message) override;
    // The same box, shown modal to its window without a loop of its own:
    // `then` is called when it closes (also when the owner goes first).
    void ShowThen(const Message& message, std::function<void()> then) override;

    static QMessageBox::Icon IconFor(MessageIcon icon);
    // The width a box needs for its caption to show whole in its title bar.
    static int CaptionWidth(const QMessageBox& box);

private:
    QPointer<QWidget> owner_;
};
