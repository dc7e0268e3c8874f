#include "CTempBanDlg.h"

#include "BanDurationFields.h"
#include "Windows1252.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTempBanDlg::CTempBanDlg(const QString& name, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Temp-ban"));
    auto* prompt = new QLabel(QStringLiteral("Keep %1 off every server for:").arg(name), this);
    prompt->setTextFormat(Qt::PlainText); // a name is the player's text, never markup

    duration_ = new BanDurationFields(this);
    reason_ = new QLineEdit(this);
    reason_->setObjectName(QStringLiteral("reason"));
    reason_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(reason_, &QLineEdit::textChanged, this, &CTempBanDlg::UpdateControls);

    auto* fields = new QFormLayout;
    duration_->AddRows(*fields);
    fields->addRow(QStringLiteral("&Reason:"), reason_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    UpdateControls();
    reason_->setFocus();
}

long long CTempBanDlg::minutes() const {
    return duration_->minutes();
}

std::string CTempBanDlg::reason() const {
    return reason_->text().trimmed().toStdString();
}

void CTempBanDlg::UpdateControls() {
    // Every ban says why: the reason goes into the kick and the records.
    ok_->setEnabled(!reason_->text().trimmed().isEmpty());
}

void AskTempBan(QWidget* parent, const QString& name,
                std::function<void(long long minutes, std::string reason)> then) {
    auto* dialog = new CTempBanDlg(name, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, dialog, [dialog, then = std::move(then)] {
        then(dialog->minutes(), Utf8ToWindows1252(dialog->reason()));
    });
    dialog->open();
}
