#include "MessageBoxSink.h"

void MessageBoxSink::Show(const Message& message) {
    const QString caption = message.caption.empty() ? QStringLiteral("Quarvel")
                                                    : QString::fromStdString(message.caption);
    QMessageBox box(IconFor(message.icon), caption, QString::fromStdString(message.text),
                    QMessageBox::Ok, owner_.data());
    // Texts quote names and replies from the network and the log; never let
    // them be taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QMessageBox::Icon MessageBoxSink::IconFor(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
