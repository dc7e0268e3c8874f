#include "CBanReasonDlg.h"

#include "DialogUnits.h"
#include "LogText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CBanReasonDlg::CBanReasonDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ban reason"));
    QFont sansSerif(QStringLiteral("MS Sans Serif"), 8);
    sansSerif.setStyleHint(QFont::SansSerif);
    setFont(sansSerif);

    const DialogUnits units(font());
    setFixedSize(units.Size(303, 77));

    prompt_ = new QLabel(QStringLiteral("Enter ban reason for "), this);
    prompt_->setObjectName(QStringLiteral("prompt"));
    // As wide as the reason below it, so that a long server name shows whole.
    prompt_->setGeometry(units.Rect(7, 7, 289, 8));
    // A server's name is the admin's own text, but never markup.
    prompt_->setTextFormat(Qt::PlainText);

    reason_ = new QLineEdit(this);
    reason_->setObjectName(QStringLiteral("reason"));
    reason_->setGeometry(units.Rect(7, 19, 289, 14));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(units.Rect(90, 46, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(units.Rect(162, 46, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::string> CBanReasonDlg::AskReason(const std::string& prompt) {
    prompt_->setText(QString::fromStdString(prompt));
    reason_->clear();
    reason_->setFocus();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return QStringToLogText(reason_->text());
}

QString CBanReasonDlg::promptText() const {
    return prompt_->text();
}

QString CBanReasonDlg::reasonText() const {
    return reason_->text();
}
