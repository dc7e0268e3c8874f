#include "CSearchDlg.h"

#include "DialogUnits.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

// A check box shows 1 as checked; every other value, 0 included, as cleared.
void ExchangeCheck(QCheckBox* box, std::int32_t& value, bool saveAndValidate) {
    if (saveAndValidate) {
        value = box->isChecked() ? 1 : 0;
    } else {
        box->setChecked(CSearchDlg::IsOn(value));
    }
}

QCheckBox* AddCheckBox(QWidget* parent, const QString& text, const QRect& place,
                       const QString& name) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

} // namespace

CSearchDlg::CSearchDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Search"));
    QFont sansSerif(QStringLiteral("MS Sans Serif"), 8);
    sansSerif.setStyleHint(QFont::SansSerif);
    setFont(sansSerif);

    const DialogUnits units(font());
    setFixedSize(units.Size(224, 103));

    // Made in tab order: the text first, then the buttons, then the options.
    searchEdit_ = new QLineEdit(this);
    searchEdit_->setObjectName(QStringLiteral("searchText"));
    searchEdit_->setGeometry(units.Rect(49, 7, 164, 14));

    auto* search = new QPushButton(QStringLiteral("Search"), this);
    search->setObjectName(QStringLiteral("searchButton"));
    search->setGeometry(units.Rect(141, 41, 50, 14));
    search->setDefault(true);
    connect(search, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(units.Rect(141, 63, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    caseSensitiveBox_ = AddCheckBox(this, QStringLiteral("&Case Sensitive"),
                                    units.Rect(19, 43, 63, 10), QStringLiteral("caseSensitive"));
    backwardsBox_ = AddCheckBox(this, QStringLiteral("Search &backwards"),
                                units.Rect(19, 57, 75, 10), QStringLiteral("backwards"));
    regExpBox_ = AddCheckBox(this, QStringLiteral("&Regular expression"),
                             units.Rect(19, 71, 76, 10), QStringLiteral("regExp"));

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    options->setGeometry(units.Rect(7, 29, 105, 61));
    options->lower(); // behind the boxes it frames

    auto* prompt = new QLabel(QStringLiteral("Search for:"), this);
    prompt->setGeometry(units.Rect(7, 8, 36, 8));
}

void CSearchDlg::showEvent(QShowEvent* event) {
    // A window restored by the system keeps what the user has typed; only
    // opening the dialog loads the fields.
    if (!event->spontaneous()) {
        DoDataExchange(false);
        searchEdit_->selectAll();
        searchEdit_->setFocus();
    }
    QDialog::showEvent(event);
}

void CSearchDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CSearchDlg::DoDataExchange(bool saveAndValidate) {
    ExchangeCheck(backwardsBox_, backwards, saveAndValidate);
    ExchangeCheck(caseSensitiveBox_, caseSensitive, saveAndValidate);
    ExchangeCheck(regExpBox_, regExp, saveAndValidate);
    if (saveAndValidate) {
        searchText = searchEdit_->text();
    } else {
        searchEdit_->setText(searchText);
    }
}
