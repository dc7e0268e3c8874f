#pragma once

#include "MessageBoxSink.h"
#include "ServerListEdit.h"

#include <QDialog>
#include <array>
#include <optional>
#include <string_view>

class QCheckBox;
class QLineEdit;
class QPushButton;
class ServerTestLine;

// One server of the Servers dialog, added or edited: name, address, port,
// password (masked unless "Show" is ticked), log file (with Browse), poll
// seconds and the game's four commands, whose defaults show greyed while
// their fields are empty. OK takes the values only when every one passes
// the configuration's rules (ServerListEdit.h), else says which field broke
// which rule and stays open on it. Test asks the server as the fields say
// now.
class CServerEditDlg : public QDialog {
    Q_OBJECT

public:
    CServerEditDlg(const QString& title, const ServerValues& values, QWidget* parent);
    ~CServerEditDlg() override;

    QLineEdit* field(ServerKey key) const { return fields_[static_cast<std::size_t>(key)]; }
    QCheckBox* showPassword() const { return showPassword_; }
    QPushButton* browseButton() const { return browse_; }
    ServerTestLine* test() const { return test_; }
    // What the user is told; message boxes over the dialog unless set.
    void SetMessageSink(MessageSink* messages);

    // The values taken by OK.
    const ServerValues& values() const { return values_; }
    // The fields' values, checked: nothing when one is refused (said
    // through the message sink, the field focused).
    std::optional<ServerValues> CheckedValues();

    void accept() override;

private:
    void Browse();

    std::array<QLineEdit*, kServerKeyCount> fields_{};
    QCheckBox* showPassword_ = nullptr;
    QPushButton* browse_ = nullptr;
    ServerTestLine* test_ = nullptr;
    ServerValues values_;
    MessageBoxSink messageBoxes_;
    MessageSink* messages_;
};

// Why a value cannot be the server's, as the user is told it, naming the
// field ("Port: The port is a whole number from 1 to 65535."); empty when
// it can be.
QString ServerFieldProblem(ServerKey key, std::string_view value);
