#include "CDatabaseAliasesDlg.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CDatabaseAliasesDlg::CDatabaseAliasesDlg(const QStringList& names, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Aliases from database"));
    QFont courier(QStringLiteral("Courier"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    setFont(courier);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("aliases"));
    list_->setSortingEnabled(true); // the list keeps its own order, whatever the query's
    list_->addItems(names);
    // Room for about twenty long names; a larger window gives the list the rest.
    const QFontMetrics metrics(font());
    list_->setMinimumSize(metrics.averageCharWidth() * 52, metrics.lineSpacing() * 24);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    // Placed at once, as the window always was: its controls have their
    // places before it first shows.
    adjustSize();
    layout->activate();
}
