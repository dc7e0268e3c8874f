#pragma once

#include "ConfigDocument.h"
#include "MessageBoxSink.h"
#include "ServerListEdit.h"

#include <QDialog>
#include <optional>

class CServerEditDlg;
class QPushButton;
class QTreeWidget;
class ServerTestLine;

// Tools > "Servers...": the game servers of quarvel.cfg in file order (name,
// address, port, the password masked), added, edited (CServerEditDlg),
// removed and tested with `status` as they stand in the dialog. Nothing is
// written until OK: then the edits are made in the file as it was read
// (ConfigDocument: comments, unknown lines and the blocks' order kept, mode
// 0600). A save that is refused (the file changed since it was read, or
// cannot be written) is said, and the dialog stays open with every edit;
// when the file changed, the user may have the edits made in the file as it
// is now. Cancel asks before it drops edits.
class CServersDlg : public QDialog {
    Q_OBJECT

public:
    // `document`: quarvel.cfg as read (ConfigDocument::Read).
    CServersDlg(ConfigDocument document, QWidget* parent);
    ~CServersDlg() override;

    QTreeWidget* list() const { return list_; }
    QPushButton* addButton() const { return addButton_; }
    QPushButton* editButton() const { return editButton_; }
    QPushButton* removeButton() const { return removeButton_; }
    ServerTestLine* test() const { return test_; }
    // What the user is told; message boxes over the dialog unless set.
    void SetMessageSink(MessageSink* messages);

    const ServerListEdit& edits() const { return edits_; }
    // Whether OK wrote the file.
    bool saved() const { return saved_; }

    // The row picked in the list; none when no row is.
    std::optional<std::size_t> currentRow() const;
    // The list's own changes, as Add, Edit and Remove make them once their
    // window is answered.
    void AddServer(ServerValues values);
    void SetServer(std::size_t row, ServerValues values);
    void RemoveServer(std::size_t row);

    // Add, Edit and Remove: a server window for a new server or the picked
    // one; Remove asks first.
    void OnAdd();
    void OnEdit();
    void OnRemove();

    // OK: writes the edits (closing only when that worked); Cancel.
    void accept() override;
    void reject() override;

private:
    void Fill(std::optional<std::size_t> current);
    void ShareMessages(CServerEditDlg& editor);
    void UpdateButtons();
    // Makes the edits in a copy of `base` and saves it; true when written.
    bool Save(const ConfigDocument& base);

    ConfigDocument document_; // as read: the base the edits are made on
    ServerListEdit edits_;
    bool saved_ = false;
    QTreeWidget* list_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    ServerTestLine* test_ = nullptr;
    MessageBoxSink messageBoxes_;
    MessageSink* messages_;
};
