#pragma once

#include "BanTime.h"
#include "FindPlayerCommand.h"
#include "MessageBoxSink.h"
#include "ReplyWaiter.h"
#include "ServerNamedMessages.h"

#include <QDialog>
#include <string>

class AppConfig;
class BanHistoryList;
class BanRecordStore;
class GuidTable;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimerEvent;
struct LineSegment;
struct LineView;

// "Player Info": the player a double-click picked in the log view (the name
// as the line writes it, the IP and GUID of the player's latest connection,
// the names this log has seen for the GUID) with the buttons that ban or
// unban the GUID on every configured server and that ask the player database
// for its aliases. Each view owns one, refilled and shown modally for every
// pick. With a player database configured, every server's outcome of a ban or
// unban is kept in its ban records, the GUID's history is listed beside, and
// "Find player..." opens the Find player window on the GUID.
//
// It is the waiting window of the reply wait: the wait's one-second timer
// runs on it, and the messages of the flows are owned by it. While a ban or
// unban runs, Ban and Unban are disabled (a second flow inside the first
// would share the wait's timer), and closing the window is held back until
// the flow is over, since the flow still asks and tells over it.
class CPlayerInfoDlg : public QDialog, public ReplyWaiter {
    Q_OBJECT

public:
    // `config` gives the servers and the database and must outlive the
    // window.
    CPlayerInfoDlg(const AppConfig& config, QWidget* parent);
    ~CPlayerInfoDlg() override;

    // Fills the window from a player-name segment of `line`: the GUID,
    // address and this log's aliases of the connection the segment names
    // (empty, "No connection data" and none when it names none), and the
    // segment's bytes as the name, colour codes included.
    void Fill(const LineView& line, const LineSegment& segment, const GuidTable& guids);

    // The texts as filled, log bytes: what Ban and Unban send.
    const std::string& nameText() const { return name_; }
    const std::string& ipText() const { return ip_; }
    const std::string& guidText() const { return guid_; }
    bool databaseAvailable() const { return databaseAvailable_; }
    bool flowRunning() const { return flowRunning_; }

    // Where the flows' messages go: message boxes over this window, each
    // server's answer naming the server in its text too, unless another sink
    // is given (null restores the message boxes).
    void SetMessageSink(MessageSink* messages);
    // Who and when the ban records say; the login name and the local clock
    // unless set.
    void SetRecordIdentity(std::string admin, BanClock clock);
    // Where "Show his lines" hands the player (here or in the Find player
    // window it opens); none leaves the button off.
    void SetShowLines(ShowLinesHandler showLines);

    // The GUID's ban history as listed.
    const BanHistoryList& banHistory() const { return *history_; }

    // The buttons.
    void OnBan();
    void OnUnban();
    void OnAliasesFromDatabase();
    void OnFindPlayer();
    void OnShowLines();

public slots:
    void done(int result) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // Runs one flow with Ban and Unban disabled, then carries out a close
    // asked for meanwhile.
    template <typename Flow> void RunFlow(Flow&& flow);
    // Runs a flow with its outcomes kept in the ban records when there is a
    // database, then tells what could not be kept and lists the history anew.
    template <typename Flow> void RunRecordedFlow(Flow&& flow);

    const AppConfig& config_;
    std::string name_;
    std::string ip_;
    std::string guid_;
    bool databaseAvailable_ = false;
    bool flowRunning_ = false;
    bool closeHeld_ = false;
    int heldResult_ = QDialog::Rejected;

    MessageBoxSink messageBoxes_;
    ServerNamedMessages namedBoxes_;
    MessageSink* messages_ = &namedBoxes_;

    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* ipEdit_ = nullptr;
    QLineEdit* guidEdit_ = nullptr;
    QListWidget* aliasesList_ = nullptr;
    QPushButton* aliasesButton_ = nullptr;
    QPushButton* showLinesButton_ = nullptr;
    ShowLinesHandler showLines_;
    QPushButton* banButton_ = nullptr;
    QPushButton* unbanButton_ = nullptr;

    std::string admin_;
    BanClock clock_;
    BanHistoryList* history_ = nullptr;
    QPushButton* findPlayerButton_ = nullptr;
};
