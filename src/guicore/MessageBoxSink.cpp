#include "MessageBoxSink.h"

#include "Messages.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QScreen>
#include <algorithm>
#include <memory>

namespace {

// Room a title bar takes besides its text: the window's icon and its
// buttons, with the frame's edges. Generous, since the window manager draws
// the bar in a font and style the program cannot ask for.
constexpr int kTitleBarChrome = 160;

// A message box sizes itself to its text, and gives its caption only a
// little room besides; a short text under a long caption (a server's name)
// would cut the caption in the title bar. This one widens itself to the
// caption whenever the box has sized itself.
class CaptionedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        Widen();
    }

    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest) {
            Widen();
        }
        return handled;
    }

private:
    void Widen() {
        const int wanted = MessageBoxSink::CaptionWidth(*this);
        if (width() >= wanted) {
            return;
        }
        const QLayout* grid = layout();
        const int height = grid != nullptr && grid->hasHeightForWidth()
                               ? std::max(grid->totalHeightForWidth(wanted), this->height())
                               : this->height();
        setFixedSize(wanted, height);
    }
};

} // namespace

int MessageBoxSink::CaptionWidth(const QMessageBox& box) {
    // The title bar's font is the window manager's; the application's font,
    // a fifth larger, stands in for it.
    const int text = QFontMetrics(box.font()).horizontalAdvance(box.windowTitle());
    int wanted = text + text / 5 + kTitleBarChrome;
    if (const QScreen* screen = box.screen()) {
        wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
    }
    return wanted;
}

namespace {

QString CaptionOf(const Message& message) {
    return message.caption.empty() ? QString::fromLatin1(kApplicationTitle)
                                   : QString::fromStdString(message.caption);
}

} // namespace

void MessageBoxSink::Show(const Message& message) {
    CaptionedMessageBox box(MessageBoxSink::IconFor(message.icon), CaptionOf(message),
                            QString::fromStdString(message.text), QMessageBox::Ok, owner_.data());
    // Texts quote names and replies from the network and the log; never let
    // them be taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MessageBoxSink::ShowThen(const Message& message, std::function<void()> then) {
    auto* box = new CaptionedMessageBox(MessageBoxSink::IconFor(message.icon), CaptionOf(message),
                                        QString::fromStdString(message.text), QMessageBox::Ok,
                                        owner_.data());
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Called once, whether the box is closed or goes with its owner.
    auto once = std::make_shared<std::function<void()>>(std::move(then));
    auto call = [once] {
        if (*once) {
            const std::function<void()> run = std::move(*once);
            *once = nullptr;
            run();
        }
    };
    QObject::connect(box, &QMessageBox::finished, call);
    QObject::connect(box, &QObject::destroyed, call);
    box->open();
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
