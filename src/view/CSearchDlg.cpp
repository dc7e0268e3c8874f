#include "CSearchDlg.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <initializer_list>

namespace {

// A check box shows 1 as checked; every other value, 0 included, as cleared.
void ExchangeCheck(QCheckBox* box, std::int32_t& value, bool saveAndValidate) {
    if (saveAndValidate) {
        value = box->isChecked() ? 1 : 0;
    } else {
        box->setChecked(CSearchDlg::IsOn(value));
    }
}

QCheckBox* AddCheckBox(QWidget* parent, const QString& text, const QString& name) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

CSearchDlg::CSearchDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Search"));
    QFont sansSerif(QStringLiteral("MS Sans Serif"), 8);
    sansSerif.setStyleHint(QFont::SansSerif);
    setFont(sansSerif);

    // Made in tab order: the text first, then the buttons, then the options.
    searchEdit_ = new QLineEdit(this);
    searchEdit_->setObjectName(QStringLiteral("searchText"));
    // Room for a search of a few words.
    searchEdit_->setMinimumWidth(QFontMetrics(font()).averageCharWidth() * 48);

    auto* search = new QPushButton(QStringLiteral("Search"), this);
    search->setObjectName(QStringLiteral("searchButton"));
    search->setDefault(true);
    connect(search, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    caseSensitiveBox_ =
        AddCheckBox(this, QStringLiteral("&Case Sensitive"), QStringLiteral("caseSensitive"));
    backwardsBox_ =
        AddCheckBox(this, QStringLiteral("Search &backwards"), QStringLiteral("backwards"));
    regExpBox_ = AddCheckBox(this, QStringLiteral("&Regular expression"), QStringLiteral("regExp"));

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* prompt = new QLabel(QStringLiteral("Search for:"), this);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(prompt);
    textRow->addWidget(searchEdit_, 1);

    // The boxes move into the group that frames them; Tab still goes the
    // way the controls were made.
    auto* optionsColumn = new QVBoxLayout(options);
    optionsColumn->addWidget(caseSensitiveBox_);
    optionsColumn->addWidget(backwardsBox_);
    optionsColumn->addWidget(regExpBox_);
    QWidget* previous = searchEdit_;
    for (QWidget* next : std::initializer_list<QWidget*>{search, cancel, caseSensitiveBox_,
                                                         backwardsBox_, regExpBox_}) {
        setTabOrder(previous, next);
        previous = next;
    }

    // The buttons one above the other, in the middle of the room beside the
    // options.
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addStretch(1);
    buttonColumn->addWidget(search);
    buttonColumn->addWidget(cancel);
    buttonColumn->addStretch(1);
    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(options);
    optionsRow->addStretch(1);
    optionsRow->addLayout(buttonColumn);
    optionsRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(optionsRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Placed at once, as the window always was: its controls have their
    // places before it first shows.
    adjustSize();
    layout->activate();
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
