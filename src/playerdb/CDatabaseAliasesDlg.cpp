#include "CDatabaseAliasesDlg.h"

#include "DialogUnits.h"

#include <QListWidget>
#include <QPushButton>

CDatabaseAliasesDlg::CDatabaseAliasesDlg(const QStringList& names, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Aliases from database"));
    QFont courier(QStringLiteral("Courier"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    setFont(courier);

    const DialogUnits units(font());
    setFixedSize(units.Size(242, 253));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("aliases"));
    list_->setGeometry(units.Rect(26, 17, 190, 184));
    list_->setSortingEnabled(true); // the list keeps its own order, whatever the query's
    list_->addItems(names);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(units.Rect(96, 221, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
