#include "CTempBanDlg.h"

#include "BanState.h"
#include "Windows1252.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <iterator>

const CTempBanDlg::Preset CTempBanDlg::kPresets[6] = {
    {"1 hour", 60},          {"6 hours", 6 * 60},     {"1 day", 24 * 60},
    {"2 days", 2 * 24 * 60}, {"7 days", 7 * 24 * 60}, {"30 days", 30 * 24 * 60},
};

CTempBanDlg::CTempBanDlg(const QString& name, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Temp-ban"));
    auto* prompt = new QLabel(QStringLiteral("Keep %1 off every server for:").arg(name), this);
    prompt->setTextFormat(Qt::PlainText); // a name is the player's text, never markup

    duration_ = new QComboBox(this);
    duration_->setObjectName(QStringLiteral("duration"));
    for (const Preset& preset : kPresets) {
        duration_->addItem(QString::fromLatin1(preset.text));
    }
    duration_->addItem(QStringLiteral("Custom (minutes)"));
    customMinutes_ = new QSpinBox(this);
    customMinutes_->setObjectName(QStringLiteral("customMinutes"));
    customMinutes_->setRange(1, static_cast<int>(kMaxBanMinutes));
    customMinutes_->setValue(90);
    customMinutes_->setSuffix(QStringLiteral(" minutes"));
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
    connect(duration_, &QComboBox::currentIndexChanged, this, &CTempBanDlg::UpdateControls);
    connect(reason_, &QLineEdit::textChanged, this, &CTempBanDlg::UpdateControls);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Duration:"), duration_);
    fields->addRow(QStringLiteral("&Minutes:"), customMinutes_);
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
    const int index = duration_->currentIndex();
    if (index >= 0 && index < static_cast<int>(std::size(kPresets))) {
        return kPresets[index].minutes;
    }
    return customMinutes_->value();
}

std::string CTempBanDlg::reason() const {
    return reason_->text().trimmed().toStdString();
}

void CTempBanDlg::UpdateControls() {
    customMinutes_->setEnabled(duration_->currentIndex() == static_cast<int>(std::size(kPresets)));
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
