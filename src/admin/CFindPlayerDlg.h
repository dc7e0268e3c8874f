#pragma once

#include "BanController.h"
#include "FindPlayerCommand.h"
#include "MessageBoxSink.h"
#include "PlayerQueryRunner.h"
#include "PlayerSearch.h"

#include <QDialog>
#include <cstdint>
#include <string>

class AppConfig;
class BanHistoryList;
class FoundPlayersModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
struct FoundPlayer;

// "Find player": who is this player? One search text and a mode (a part of
// the colour-free name, an address pattern, or the start of a GUID) find the
// GUIDs in the player database, shown in a table that sorts on any column;
// the selected player's names, addresses and ban history are listed below
// it, and Ban, Unban, Temp-ban (the Player Info window's flows, with the
// player's latest name and address) and Copy GUID act on it. The table's Ban
// column says which players a ban holds off now.
//
// Finds and history are read off the user-interface thread, with a busy
// indicator, so that a distant database never freezes the window; more than
// kShownLimit players are cut with a note. Its bans run through a
// BanController, as the Player Info window's do: Ban and Unban are off while
// one runs, and closing waits for it.
class CFindPlayerDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kShownLimit = 1000;

    // `config` gives the database and the servers and must outlive the
    // window. `lookups` makes the look-ups' database objects (tests put in
    // their own); by default they open the configured database.
    CFindPlayerDlg(const AppConfig& config, QWidget* parent,
                   PlayerQueryRunner::LookupFactory lookups = {});
    ~CFindPlayerDlg() override;

    // Sets the mode and the text and finds at once.
    void StartFind(PlayerSearchMode mode, const QString& text);

    // Where the window's messages go, the flows' included: message boxes
    // over it unless another sink is given (null restores the message boxes).
    void SetMessageSink(MessageSink* messages);
    // The controller's: who and when the ban records say.
    void SetRecordIdentity(std::string admin, BanClock clock) {
        bans_.SetRecordIdentity(std::move(admin), std::move(clock));
    }

    // Where "Show his lines" hands the selected player; none leaves the
    // button off.
    void SetShowLines(ShowLinesHandler showLines);

    // A find or the selected player's history is on its way.
    bool busy() const;
    bool flowRunning() const { return bans_.running(); }
    BanController& bans() { return bans_; }
    // The player of the selected row, or null.
    const FoundPlayer* SelectedPlayer() const;

    // The buttons.
    void OnFind();
    void OnBan();
    void OnUnban();
    void OnTempBan();
    void OnCopyGuid();
    void OnShowLines();

public slots:
    void done(int result) override;

private:
    void ShowFound(const QueryOutcome<PlayerFindResult>& outcome);
    // The table's players, the first selected and shown below.
    void ShowPlayers(const std::vector<FoundPlayer>& players);
    void ShowSelected();
    void UpdateBusy();
    void UpdateButtons();
    void StartFlow(BanAction action);
    void FlowEnded();
    // Asks the database for the shown players' ban states, for the Ban
    // column.
    void ShowBanStates();

    const AppConfig& config_;
    PlayerQueryRunner* finds_ = nullptr;
    BanController bans_;

    MessageBoxSink messageBoxes_;
    MessageSink* messages_ = &messageBoxes_;

    ShowLinesHandler showLines_;
    QPushButton* showLinesButton_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLineEdit* text_ = nullptr;
    QPushButton* findButton_ = nullptr;
    QProgressBar* busy_ = nullptr;
    QLabel* status_ = nullptr;
    FoundPlayersModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QListWidget* names_ = nullptr;
    QListWidget* addresses_ = nullptr;
    BanHistoryList* history_ = nullptr;
    QPushButton* banButton_ = nullptr;
    QPushButton* unbanButton_ = nullptr;
    QPushButton* tempBanButton_ = nullptr;
    std::uint64_t shownPlayers_ = 0; // counts the lists shown: a late answer is for an older one
    QPushButton* copyGuidButton_ = nullptr;
};

// What the status line says of a find's result.
QString FoundPlayersNote(const PlayerFindResult& result);
