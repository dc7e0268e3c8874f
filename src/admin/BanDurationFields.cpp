#include "BanDurationFields.h"

#include "BanState.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>
#include <iterator>

namespace {

constexpr const char* kDurationTexts[] = {"1 hour", "6 hours", "1 day",
                                          "2 days", "7 days",  "30 days"};
static_assert(std::size(kDurationTexts) == std::size(BanDurationFields::kPresets));

} // namespace

BanDurationFields::BanDurationFields(QWidget* parent) : QObject(parent) {
    choice_ = new QComboBox(parent);
    choice_->setObjectName(QStringLiteral("duration"));
    for (const char* text : kDurationTexts) {
        choice_->addItem(QString::fromLatin1(text));
    }
    choice_->addItem(QStringLiteral("Custom (minutes)"));
    custom_ = new QSpinBox(parent);
    custom_->setObjectName(QStringLiteral("customMinutes"));
    custom_->setRange(1, static_cast<int>(kMaxBanMinutes));
    custom_->setValue(kPresets[0]);
    custom_->setSuffix(QStringLiteral(" minutes"));
    custom_->setEnabled(false);
    // The minutes always show what was chosen; typed only for "Custom".
    connect(choice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const bool custom = index == static_cast<int>(std::size(kPresets));
        custom_->setEnabled(custom);
        if (!custom && index >= 0) {
            custom_->setValue(kPresets[index]);
        }
    });
}

void BanDurationFields::AddRows(QFormLayout& form) const {
    form.addRow(QStringLiteral("&Duration:"), choice_);
    form.addRow(QStringLiteral("&Minutes:"), custom_);
}

long long BanDurationFields::minutes() const {
    return custom_->value();
}
