#pragma once

#include "Messages.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

// Shows the program's messages as modal message boxes over an owner window:
// the message's caption (the application title "Quarvel" when it has none),
// its icon and a single OK button. Returns once the user has pressed OK.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* owner) : owner_(owner) {}

    void Show(const Message& message) override;

    static QMessageBox::Icon IconFor(MessageIcon icon);

private:
    QPointer<QWidget> owner_;
};
