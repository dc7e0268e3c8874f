#include "CGoToDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

CGoToDlg::CGoToDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Go To"));
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(this);
    layout->addWidget(prompt_);
    targetEdit_ = new QLineEdit(this);
    targetEdit_->setObjectName(QStringLiteral("target"));
    targetEdit_->setPlaceholderText(QStringLiteral("line or m:ss"));
    prompt_->setBuddy(targetEdit_);
    layout->addWidget(targetEdit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // A prompt keeps the size its texts ask for, as the other prompts do.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetLineCount(0);
}

void CGoToDlg::SetLineCount(int lineCount) {
    prompt_->setText(QStringLiteral("&Line number (1 to %1) or time (m:ss):").arg(lineCount));
}

void CGoToDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        targetEdit_->setText(targetText);
        targetEdit_->selectAll();
        targetEdit_->setFocus();
    }
    QDialog::showEvent(event);
}

void CGoToDlg::accept() {
    targetText = targetEdit_->text().trimmed();
    QDialog::accept();
}
