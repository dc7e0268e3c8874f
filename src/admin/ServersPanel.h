#pragma once

#include "AppConfig.h"
#include "BanOutcome.h"
#include "BanTime.h"
#include "LiveServer.h"
#include "MessageBoxSink.h"
#include "RconClient.h"
#include "ServerCommands.h"
#include "ServerGuidLookup.h"

#include <QWidget>
#include <memory>
#include <vector>

class BanRecordStore;
class QLabel;
class QPushButton;
class QTableView;

// The Servers panel: every configured server in the order they are asked,
// each with a line saying its map, its player count and the age of its last
// answer (or what went wrong), over a table of its players: slot, name with
// its colour codes applied, score, ping, address and GUID with where it came
// from (the server's log and the player database are read off the window
// thread, by a ServerGuidLookup). The servers are polled while the panel is
// shown, each every poll= seconds; nothing is asked while it is hidden. A
// double-click on a player opens Player Info with his name, address and
// GUID, whose Ban then works for him too; Ban here opens it and starts its
// ban. The panel follows the configuration when it is read again
// (ReloadServers).
class ServersPanel : public QWidget {
    Q_OBJECT

public:
    // `config` outlives the panel.
    ServersPanel(const AppConfig& config, QWidget* parent);
    ~ServersPanel() override;

    int serverCount() const { return static_cast<int>(servers_.size()); }
    LiveServer& server(int index) { return *servers_[static_cast<std::size_t>(index)].live; }
    QTableView* table(int index) const { return servers_[static_cast<std::size_t>(index)].table; }
    QLabel* stateLabel(int index) const { return servers_[static_cast<std::size_t>(index)].state; }
    QLabel* problemLabel() const { return problem_; }
    QPushButton* banButton() const { return banButton_; }
    QPushButton* kickButton() const { return kickButton_; }

    // The selected player: the server's index and the player; none when no
    // row is selected.
    struct Selected {
        int server = -1;
        LivePlayer player;
    };
    std::optional<Selected> SelectedPlayer() const;

    // Player Info over the player of a row; its Ban starts at once when
    // `ban`. The window deletes itself when closed.
    void OpenPlayerInfo(const LivePlayer& player, bool ban);
    void OnBan();
    // Kick (asks a reason), Temp-kick (asks the minutes and a reason) and
    // Message (asks the text said on the player's server): each asks for
    // confirmation, then sends the server's command for it (kick=,
    // tempkick=, say=) and shows the server's answer.
    void OnKick();
    void OnTempKick();
    void OnMessage();
    // Sends a server's command for a player, as the three do once the user
    // has answered, and shows the answer (or what went wrong) through the
    // message sink; `answered` comes when it is shown. With a player
    // database configured, the outcome is kept in its ban records first,
    // with the player (his GUID where known, name and address); a record
    // that cannot be kept is said after the answer.
    void Act(int server, ServerCommand command, const CommandValues& values,
             const BanTarget& player = {});
    // Where the answers go: message boxes over the panel unless set.
    void SetMessageSink(MessageSink* messages);
    // Who the records name as the admin, and their clock (for tests).
    void SetRecordIdentity(std::string admin, BanClock clock);

    // Polls every server now (F5 in the panel).
    void PollAll();
    // Builds the servers anew from the configuration, after it was read
    // again: their lines and tables and the reader of their logs and the
    // database, asked at once while the panel shows. Player Info windows
    // opened from the panel stay open; an action's answer still due is
    // shown.
    void ReloadServers();

signals:
    // An action's answer was shown.
    void answered();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Server {
        std::unique_ptr<LiveServer> live;
        QLabel* state = nullptr;
        QTableView* table = nullptr;
    };

    // The reader of the servers' logs and the database, for the
    // configuration as it is now.
    void StartGuidLookup();
    // The servers' lines and tables in `serversBox_`, from the configuration.
    void BuildServers();
    void UpdateStates();
    void UpdateButtons();
    // Shows an action's message, then what became of its records.
    void Tell(const Message& message, const std::shared_ptr<BanRecordStore>& records);

    const AppConfig& config_;
    RconClient client_; // before the servers: they go first, with their questions
    std::unique_ptr<ServerGuidLookup> guids_; // likewise; made anew with them
    std::vector<Server> servers_;
    QWidget* serversBox_ = nullptr;
    QPushButton* banButton_ = nullptr;
    QPushButton* kickButton_ = nullptr;
    QPushButton* tempKickButton_ = nullptr;
    QPushButton* messageButton_ = nullptr;
    QLabel* problem_ = nullptr; // why GUIDs are missing, when they are
    MessageBoxSink messageBoxes_;
    MessageSink* messages_;
    std::string admin_;
    BanClock clock_;
    int lastTable_ = -1; // the table a row was last picked in
};
