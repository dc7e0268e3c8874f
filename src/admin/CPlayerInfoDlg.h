#pragma once

#include "BanOutcome.h"
#include "BanTime.h"
#include "FindPlayerCommand.h"
#include "MessageBoxSink.h"
#include "ServerNamedMessages.h"

#include <QDialog>
#include <memory>
#include <string>

class AppConfig;
class BanHistoryList;
class BanRecordStore;
class BanRun;
class CBanReasonDlg;
class RconClient;
class GuidTable;
class QLineEdit;
class QListWidget;
class QPushButton;
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
// A ban or unban runs as a BanRun over the window's own RCON client, with
// the reason dialog and the messages opened over the window: nothing waits
// in a loop of its own, the window stays live. While one runs, Ban and Unban
// are disabled, and closing the window is held back until it is over, since
// the flow still asks and tells over it.
class CPlayerInfoDlg : public QDialog {
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
    // Fills the window with a player known otherwise (a server's player
    // list): log bytes; an empty address reads "No connection data".
    void FillPlayer(std::string name, std::string ip, std::string guid);

    // The texts as filled, log bytes: what Ban and Unban send.
    const std::string& nameText() const { return name_; }
    const std::string& ipText() const { return ip_; }
    const std::string& guidText() const { return guid_; }
    bool databaseAvailable() const { return databaseAvailable_; }
    bool flowRunning() const { return run_ != nullptr; }

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

    // The client the flows send through: the window's own unless set.
    void SetRconClient(RconClient* client);

public slots:
    void done(int result) override;

signals:
    // A ban or unban is over, its messages acknowledged.
    void flowFinished();

private:
    // Starts a ban or unban with Ban and Unban disabled, its outcomes kept in
    // the ban records when there is a database.
    void StartFlow(BanAction action);
    // Tells what could not be kept, lists the history anew, and carries out
    // a close asked for meanwhile.
    void FlowEnded();
    void ShowFilled();

    const AppConfig& config_;
    std::string name_;
    std::string ip_;
    std::string guid_;
    bool databaseAvailable_ = false;
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

    RconClient* ownClient_ = nullptr;
    RconClient* client_ = nullptr;
    CBanReasonDlg* reasons_ = nullptr;
    std::unique_ptr<BanRecordStore> records_;
    std::unique_ptr<BanRun> run_;

    std::string admin_;
    BanClock clock_;
    BanHistoryList* history_ = nullptr;
    QPushButton* findPlayerButton_ = nullptr;
};
