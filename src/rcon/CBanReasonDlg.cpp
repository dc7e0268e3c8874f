#include "CBanReasonDlg.h"

#include "LogText.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBanReasonDlg::CBanReasonDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ban reason"));
    QFont sansSerif(QStringLiteral("MS Sans Serif"), 8);
    sansSerif.setStyleHint(QFont::SansSerif);
    setFont(sansSerif);
    const QFontMetrics metrics(font());

    prompt_ = new QLabel(QStringLiteral("Enter ban reason for "), this);
    prompt_->setObjectName(QStringLiteral("prompt"));
    // A server's name is the admin's own text, but never markup.
    prompt_->setTextFormat(Qt::PlainText);

    reason_ = new QLineEdit(this);
    reason_->setObjectName(QStringLiteral("reason"));
    // Room for a reason of a sentence or two.
    reason_->setMinimumWidth(metrics.averageCharWidth() * 84);

    // Offered only where a question stands for several servers.
    eachServer_ = new QCheckBox(QStringLiteral("&Ask for each server"), this);
    eachServer_->setObjectName(QStringLiteral("eachServer"));
    eachServer_->setVisible(false);
    connect(eachServer_, &QCheckBox::toggled, this, &CBanReasonDlg::ShowPrompt);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(this, &QDialog::finished, this, &CBanReasonDlg::Answered);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addSpacing(metrics.averageCharWidth() * 6);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(reason_);
    layout->addWidget(eachServer_, 0, Qt::AlignLeft);
    layout->addSpacing(metrics.height());
    layout->addLayout(buttons);
    // The size the prompt and the reason ask for: a long server name widens
    // the dialog, so that it shows whole.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Placed at once, as the window always was: its controls have their
    // places before it first shows.
    adjustSize();
    layout->activate();
}

void CBanReasonDlg::ShowQuestion(const BanReasonQuestion& question) {
    question_ = question;
    eachServer_->setVisible(!question_.everyPrompt.empty());
    {
        // The box as the question opens is no choice of the user's.
        const QSignalBlocker quiet(eachServer_);
        eachServer_->setChecked(question_.eachServer);
    }
    ShowPrompt();
    reason_->clear();
    reason_->setFocus();
}

void CBanReasonDlg::ShowPrompt() {
    const bool one = question_.everyPrompt.empty() || eachServer_->isChecked();
    prompt_->setText(QString::fromStdString(one ? question_.prompt : question_.everyPrompt));
}

void CBanReasonDlg::Ask(const BanReasonQuestion& question,
                        std::function<void(BanReasonReply)> reply) {
    reply_ = std::move(reply);
    ShowQuestion(question);
    open();
}

void CBanReasonDlg::AskReason(const std::string& prompt, Answer answer) {
    Ask({prompt, {}, true},
        [answer = std::move(answer)](BanReasonReply reply) { answer(std::move(reply.reason)); });
}

void CBanReasonDlg::Answered(int result) {
    if (!reply_) {
        return;
    }
    BanReasonReply reply;
    if (result == QDialog::Accepted) {
        reply.reason = QStringToLogText(reason_->text());
    }
    // A box not offered leaves the choice as it was.
    reply.eachServer =
        question_.everyPrompt.empty() ? question_.eachServer : eachServer_->isChecked();
    // From the event loop, once the dialog is closed: the flow may open it
    // again at once for the next server.
    QMetaObject::invokeMethod(
        this, [then = std::move(reply_), reply] { then(reply); }, Qt::QueuedConnection);
    reply_ = nullptr;
}

QString CBanReasonDlg::promptText() const {
    return prompt_->text();
}

QString CBanReasonDlg::reasonText() const {
    return reason_->text();
}
