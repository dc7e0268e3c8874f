#include "CBanReasonDlg.h"

#include "LogText.h"

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

void CBanReasonDlg::AskReason(const std::string& prompt, Answer answer) {
    answer_ = std::move(answer);
    prompt_->setText(QString::fromStdString(prompt));
    reason_->clear();
    reason_->setFocus();
    open();
}

void CBanReasonDlg::Answered(int result) {
    if (!answer_) {
        return;
    }
    std::optional<std::string> reason;
    if (result == QDialog::Accepted) {
        reason = QStringToLogText(reason_->text());
    }
    // From the event loop, once the dialog is closed: the flow may open it
    // again at once for the next server.
    QMetaObject::invokeMethod(
        this, [answer = std::move(answer_), reason] { answer(reason); }, Qt::QueuedConnection);
    answer_ = nullptr;
}

QString CBanReasonDlg::promptText() const {
    return prompt_->text();
}

QString CBanReasonDlg::reasonText() const {
    return reason_->text();
}
