#pragma once

#include "BanController.h"
#include "FindPlayerCommand.h"

#include <QDialog>
#include <string>

class AppConfig;
class BanHistoryList;
class GuidTable;
class QLabel;
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
// "Find player..." opens the Find player window on the GUID, the GUID's ban
// state shows under it ("banned until ...", "banned"), and "Temp-ban..."
// keeps him off every server for a while.
//
// A ban or unban runs through the window's BanController, with the reason
// dialog and the messages opened over the window: nothing waits in a loop of
// its own, the window stays live. While one runs, Ban and Unban are
// disabled, and closing the window is held back until it is over, since the
// flow still asks and tells over it.
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
    bool flowRunning() const { return bans_.running(); }
    BanController& bans() { return bans_; }

    // The controller's: where the flows' messages go (BanController).
    void SetMessageSink(MessageSink* messages) { bans_.SetMessageSink(messages); }
    // The controller's: who and when the ban records say.
    void SetRecordIdentity(std::string admin, BanClock clock) {
        bans_.SetRecordIdentity(std::move(admin), std::move(clock));
    }
    // Where "Show his lines" hands the player (here or in the Find player
    // window it opens); none leaves the button off.
    void SetShowLines(ShowLinesHandler showLines);

    // The GUID's ban history as listed.
    const BanHistoryList& banHistory() const { return *history_; }
    // The GUID's active ban as shown: "banned until <expiry>", "banned", or
    // empty.
    QString banStateText() const;

    // The buttons.
    void OnBan();
    void OnUnban();
    // Asks the duration and reason, then runs the controller's temp-ban.
    void OnTempBan();
    void OnAliasesFromDatabase();
    void OnFindPlayer();
    void OnShowLines();

public slots:
    void done(int result) override;

private:
    // Ban and Unban back on, the history listed anew.
    void FlowEnded();
    void ShowFilled();
    // Asks the database for the GUID's active state, shown when it comes.
    void ShowBanState();
    void UpdateBanButtons();

    const AppConfig& config_;
    std::string name_;
    std::string ip_;
    std::string guid_;
    bool databaseAvailable_ = false;
    BanController bans_;

    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* ipEdit_ = nullptr;
    QLineEdit* guidEdit_ = nullptr;
    QListWidget* aliasesList_ = nullptr;
    QPushButton* aliasesButton_ = nullptr;
    QPushButton* showLinesButton_ = nullptr;
    ShowLinesHandler showLines_;
    QPushButton* banButton_ = nullptr;
    QPushButton* unbanButton_ = nullptr;
    QPushButton* tempBanButton_ = nullptr;
    QLabel* banState_ = nullptr;

    BanHistoryList* history_ = nullptr;
    QPushButton* findPlayerButton_ = nullptr;
};
