#include "CBanMinutesDlg.h"

#include "BanState.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <iterator>

namespace {

constexpr const char* kPresetTexts[] = {"1 hour", "6 hours", "1 day",
                                        "2 days", "7 days",  "30 days"};
static_assert(std::size(kPresetTexts) == std::size(CBanMinutesDlg::kPresets));

} // namespace

CBanMinutesDlg::CBanMinutesDlg(const QString& title, const QString& prompt, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* label = new QLabel(prompt, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("duration"));
    for (const char* text : kPresetTexts) {
        choice_->addItem(QString::fromLatin1(text));
    }
    choice_->addItem(QStringLiteral("Custom"));
    custom_ = new QSpinBox(this);
    custom_->setObjectName(QStringLiteral("customMinutes"));
    custom_->setRange(1, static_cast<int>(kMaxBanMinutes));
    custom_->setValue(kPresets[0]);
    custom_->setSuffix(QStringLiteral(" minutes"));
    custom_->setEnabled(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Duration:"), choice_);
    form->addRow(QStringLiteral("&Minutes:"), custom_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // As large as its texts need, in whatever font.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(choice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const bool custom = index == static_cast<int>(std::size(kPresets));
        custom_->setEnabled(custom);
        if (!custom && index >= 0) {
            custom_->setValue(kPresets[index]);
        }
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

long long CBanMinutesDlg::minutes() const {
    return custom_->value();
}

std::optional<long long> CBanMinutesDlg::Ask(QWidget* parent, const QString& title,
                                             const QString& prompt) {
    CBanMinutesDlg dialog(title, prompt, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.minutes();
}
