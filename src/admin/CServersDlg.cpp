#include "CServersDlg.h"

#include "CServerEditDlg.h"
#include "ConfigSecrets.h"
#include "LogText.h"
#include "ServerTestLine.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr char kServersCaption[] = "Servers";

enum Column { kNameColumn, kAddressColumn, kPortColumn, kPasswordColumn };

bool Asked(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QString::fromLatin1(kServersCaption), question) ==
           QMessageBox::Yes;
}

} // namespace

CServersDlg::CServersDlg(ConfigDocument document, QWidget* parent)
    : QDialog(parent), document_(std::move(document)), edits_(document_), messageBoxes_(this),
      messages_(&messageBoxes_) {
    setWindowTitle(QString::fromLatin1(kServersCaption));
    auto* where =
        new QLabel(QStringLiteral("Servers of %1")
                       .arg(QFile::decodeName(QByteArray::fromStdString(document_.path()))),
                   this);
    where->setTextFormat(Qt::PlainText);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("servers"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Address"),
                            QStringLiteral("Port"), QStringLiteral("Password")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    connect(list_, &QTreeWidget::currentItemChanged, this, &CServersDlg::UpdateButtons);
    connect(list_, &QTreeWidget::itemActivated, this, &CServersDlg::OnEdit);

    addButton_ = new QPushButton(QStringLiteral("&Add..."), this);
    editButton_ = new QPushButton(QStringLiteral("&Edit..."), this);
    removeButton_ = new QPushButton(QStringLiteral("&Remove"), this);
    addButton_->setObjectName(QStringLiteral("addButton"));
    editButton_->setObjectName(QStringLiteral("editButton"));
    removeButton_->setObjectName(QStringLiteral("removeButton"));
    connect(addButton_, &QPushButton::clicked, this, &CServersDlg::OnAdd);
    connect(editButton_, &QPushButton::clicked, this, &CServersDlg::OnEdit);
    connect(removeButton_, &QPushButton::clicked, this, &CServersDlg::OnRemove);
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {addButton_, editButton_, removeButton_}) {
        side->addWidget(button);
    }
    side->addStretch(1);

    test_ = new ServerTestLine(
        [this]() -> std::optional<ServerEntry> {
            const auto row = currentRow();
            if (!row) {
                return std::nullopt;
            }
            // A block as read may break a rule the reader holds it to.
            const ServerValues& values = edits_.servers()[*row].values;
            for (const ServerKey key : kServerKeys) {
                if (const QString why = ServerFieldProblem(key, values[key]); !why.isEmpty()) {
                    messages_->Show({why.toStdString(), kServersCaption, MessageIcon::Warning});
                    return std::nullopt;
                }
            }
            return EntryOfValues(values);
        },
        this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CServersDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CServersDlg::reject);

    auto* middle = new QHBoxLayout;
    middle->addWidget(list_, 1);
    middle->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addLayout(middle, 1);
    layout->addWidget(test_);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 20);
    Fill(edits_.servers().empty() ? std::nullopt : std::optional<std::size_t>(0));
}

CServersDlg::~CServersDlg() = default;

void CServersDlg::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &messageBoxes_;
}

std::optional<std::size_t> CServersDlg::currentRow() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    return row >= 0 ? std::optional(static_cast<std::size_t>(row)) : std::nullopt;
}

void CServersDlg::Fill(std::optional<std::size_t> current) {
    list_->clear();
    for (const ServerListEdit::Server& server : edits_.servers()) {
        const ServerValues& values = server.values;
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kNameColumn, LogTextToQString(values[ServerKey::Name]));
        item->setText(kAddressColumn, LogTextToQString(values[ServerKey::Address]));
        item->setText(kPortColumn, LogTextToQString(values[ServerKey::Port]));
        item->setText(kPasswordColumn,
                      QString::fromStdString(MaskedPassword(values[ServerKey::Password])));
    }
    if (current && *current < edits_.servers().size()) {
        list_->setCurrentItem(list_->topLevelItem(static_cast<int>(*current)));
    }
    for (const int column : {kAddressColumn, kPortColumn, kPasswordColumn}) {
        list_->resizeColumnToContents(column);
    }
    UpdateButtons();
}

void CServersDlg::UpdateButtons() {
    const bool picked = currentRow().has_value();
    editButton_->setEnabled(picked);
    removeButton_->setEnabled(picked);
    test_->button()->setEnabled(picked);
}

void CServersDlg::AddServer(ServerValues values) {
    edits_.Add(std::move(values));
    Fill(edits_.servers().size() - 1);
}

void CServersDlg::SetServer(std::size_t row, ServerValues values) {
    edits_.Set(row, std::move(values));
    Fill(row);
}

void CServersDlg::RemoveServer(std::size_t row) {
    edits_.Remove(row);
    const std::size_t left = edits_.servers().size();
    Fill(left == 0 ? std::nullopt : std::optional(std::min(row, left - 1)));
}

void CServersDlg::ShareMessages(CServerEditDlg& editor) {
    // Boxes of its own over the editor, unless this dialog's go elsewhere.
    if (messages_ != &messageBoxes_) {
        editor.SetMessageSink(messages_);
    }
}

void CServersDlg::OnAdd() {
    CServerEditDlg editor(QStringLiteral("Add server"), {}, this);
    ShareMessages(editor);
    if (editor.exec() == QDialog::Accepted) {
        AddServer(editor.values());
    }
}

void CServersDlg::OnEdit() {
    const auto row = currentRow();
    if (!row) {
        return;
    }
    CServerEditDlg editor(QStringLiteral("Edit server"), edits_.servers()[*row].values, this);
    ShareMessages(editor);
    if (editor.exec() == QDialog::Accepted) {
        SetServer(*row, editor.values());
    }
}

void CServersDlg::OnRemove() {
    const auto row = currentRow();
    if (row && Asked(this, QStringLiteral("Remove the server %1?")
                               .arg(list_->topLevelItem(static_cast<int>(*row))->text(0)))) {
        RemoveServer(*row);
    }
}

bool CServersDlg::Save(const ConfigDocument& base) {
    ConfigDocument edited = base;
    ConfigEdit edit = edits_.ApplyTo(edited);
    if (edit.ok()) {
        edit = edited.Save();
    }
    if (edit.ok()) {
        document_ = std::move(edited);
        return true;
    }
    // Someone else wrote the file meanwhile (by hand, or another window):
    // the edits can still be made in the file as it is now.
    ConfigDocumentRead now = ConfigDocument::Read(base.path());
    if (now.document && now.document->Text() != base.Text()) {
        return Asked(this, QStringLiteral("The configuration file %1 has changed since it was "
                                          "read.\n\nMake your changes in the file as it is now?")
                               .arg(QFile::decodeName(QByteArray::fromStdString(base.path())))) &&
               Save(*now.document);
    }
    messages_->Show(
        {"The servers were not saved. " + edit.error + " Your changes are still in the list.",
         kServersCaption, MessageIcon::Error});
    return false;
}

void CServersDlg::accept() {
    if (!edits_.changed()) {
        QDialog::accept();
        return;
    }
    if (Save(document_)) {
        saved_ = true;
        QDialog::accept();
    }
}

void CServersDlg::reject() {
    if (edits_.changed() && !saved_ &&
        !Asked(this, QStringLiteral("Drop your changes to the servers?"))) {
        return;
    }
    QDialog::reject();
}
