#pragma once

#include "BanController.h"
#include "BanState.h"
#include "BanTime.h"
#include "MessageBoxSink.h"
#include "PlayerQueryRunner.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AppConfig;
class BanHistoryList;
class BanStates;
class BanSync;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

// Tools > Bans: the team's ban states, active and ended (lifted, replaced,
// run out), newest first, filtered by GUID, name or admin and to the active
// ones; the selected ban's history (the GUID's states and its ban records);
// Lift (asks why; a permanent ban is also unbanned on every server, through
// the ban controller), Extend (a temp-ban, by one of the usual durations or
// a number of minutes), and Sync, which takes every active permanent ban to
// the servers that lack it and shows what each server came to.
//
// The states are read on the window's thread (a few thousand a look), the
// ban records off it; a sync runs over the event loop with its progress
// shown. A failure is told in a message box and in the status line.
class CBansDlg : public QDialog {
    Q_OBJECT

public:
    // The columns of the list.
    enum Column {
        kStatus,
        kKind,
        kGuid,
        kName,
        kReason,
        kIssuedBy,
        kStart,
        kExpiry,
        kEnded,
        kEndedBy,
        kWhy,
        kColumnCount
    };

    // `config` gives the database and the servers and must outlive the
    // window; `lookups` reads the ban records (the configured database's
    // unless given).
    CBansDlg(const AppConfig& config, QWidget* parent,
             PlayerQueryRunner::LookupFactory lookups = {});
    ~CBansDlg() override;

    // Who and when the changes and their records say; the login name and
    // the local clock unless set.
    void SetIdentity(std::string admin, BanClock clock);
    // Where the window's messages go: message boxes over it unless another
    // sink is given (null restores them).
    void SetMessageSink(MessageSink* messages);

    // Reads the states again as the filter says.
    void Refresh();
    // The states listed, in their rows' order.
    const std::vector<BanState>& states() const { return states_; }
    // Selects the row of the state with this key; false when none shows it.
    bool SelectState(std::int64_t key);
    // The state of the selected row, or null.
    const BanState* SelectedState() const;

    // The buttons: each asks what it needs, then acts.
    void OnLift();
    void OnExtend();
    void OnSync();
    // What the buttons do once answered, on the selected state.
    void Lift(const std::string& why);
    void Extend(long long minutes);

    bool syncRunning() const;
    bool flowRunning() const { return bans_.running(); }

public slots:
    void done(int result) override;

private:
    BanStates& States();
    void ShowStates(std::int64_t selectedKey);
    void ShowSelected();
    void UpdateButtons();
    void Tell(const Message& message);
    void SyncProgressed(int done, int total);
    void SyncFinished();

    const AppConfig& config_;
    BanController bans_;
    MessageBoxSink messageBoxes_;
    MessageSink* messages_ = &messageBoxes_;
    std::string admin_;
    BanClock clock_;
    std::unique_ptr<BanStates> banStates_;
    std::vector<BanState> states_;
    std::int64_t now_ = 0; // the instant the list was read at
    QTimer filterPause_;

    QLineEdit* guid_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* adminFilter_ = nullptr;
    QCheckBox* activeOnly_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* table_ = nullptr;
    QListWidget* stateHistory_ = nullptr;
    BanHistoryList* records_ = nullptr;
    QPushButton* liftButton_ = nullptr;
    QPushButton* extendButton_ = nullptr;
    QPushButton* syncButton_ = nullptr;
    QProgressBar* syncProgress_ = nullptr;
    QListWidget* syncResults_ = nullptr;
    QPointer<BanSync> sync_;
};
