#include "ServersPanel.h"

#include "BanRecordStore.h"
#include "CPlayerInfoDlg.h"
#include "ColouredNameDelegate.h"
#include "LogText.h"
#include "LoginName.h"
#include "PlayerAction.h"
#include "VisibleText.h"
#include "Windows1252.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

ServersPanel::ServersPanel(const AppConfig& config, QWidget* parent)
    : QWidget(parent), config_(config), messageBoxes_(this), messages_(&messageBoxes_),
      admin_(LoginName()), clock_(LocalBanTime) {
    auto* layout = new QVBoxLayout(this);
    StartGuidLookup();
    BuildServers();
    layout->addWidget(serversBox_, 1);
    auto* buttons = new QHBoxLayout;
    kickButton_ = new QPushButton(QStringLiteral("&Kick..."), this);
    tempKickButton_ = new QPushButton(QStringLiteral("&Temp-kick..."), this);
    banButton_ = new QPushButton(QStringLiteral("&Ban..."), this);
    messageButton_ = new QPushButton(QStringLiteral("&Message..."), this);
    connect(kickButton_, &QPushButton::clicked, this, &ServersPanel::OnKick);
    connect(tempKickButton_, &QPushButton::clicked, this, &ServersPanel::OnTempKick);
    connect(banButton_, &QPushButton::clicked, this, &ServersPanel::OnBan);
    connect(messageButton_, &QPushButton::clicked, this, &ServersPanel::OnMessage);
    for (QPushButton* button : {kickButton_, tempKickButton_, banButton_, messageButton_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    // A log or database that cannot give GUIDs is said here, once, not in a
    // box at every poll.
    problem_ = new QLabel(this);
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);
    problem_->hide();
    layout->addWidget(problem_);
    // The age of every answer, kept current.
    auto* ages = new QTimer(this);
    connect(ages, &QTimer::timeout, this, &ServersPanel::UpdateStates);
    ages->start(1000);
    UpdateButtons();
}

void ServersPanel::StartGuidLookup() {
    guids_ = std::make_unique<ServerGuidLookup>(config_);
    if (problem_ != nullptr) {
        problem_->hide(); // until the new reader finds one
    }
    // Said from the event loop: the label is there by then.
    connect(guids_.get(), &ServerGuidLookup::problem, this, [this](const QString& text) {
        problem_->setText(text.left(1).toUpper() + text.mid(1));
        problem_->show();
    });
}

void ServersPanel::BuildServers() {
    serversBox_ = new QWidget(this);
    auto* layout = new QVBoxLayout(serversBox_);
    layout->setContentsMargins(0, 0, 0, 0);
    if (config_.servers.empty()) {
        layout->addWidget(new QLabel(QStringLiteral("No servers configured"), serversBox_));
    }
    for (const ServerEntry& entry : config_.servers) {
        Server server;
        server.live = std::make_unique<LiveServer>(client_, entry);
        server.live->SetDeferredGuidSource(guids_.get());
        auto* title = new QLabel(serversBox_);
        title->setTextFormat(Qt::PlainText);
        title->setText(LogTextToQString(entry.name));
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        server.state = new QLabel(QStringLiteral("Asking..."), serversBox_);
        server.state->setTextFormat(Qt::PlainText);
        server.table = new QTableView(serversBox_);
        server.table->setModel(&server.live->players());
        server.table->setItemDelegateForColumn(
            LivePlayersModel::kName,
            new ColouredNameDelegate(LivePlayersModel::kColouredNameRole, server.table));
        server.table->setSelectionBehavior(QAbstractItemView::SelectRows);
        server.table->setSelectionMode(QAbstractItemView::SingleSelection);
        server.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        server.table->verticalHeader()->hide();
        server.table->horizontalHeader()->setStretchLastSection(true);
        server.table->setContextMenuPolicy(Qt::CustomContextMenu);
        const int index = static_cast<int>(servers_.size());
        connect(
            server.table, &QTableView::doubleClicked, this, [this, index](const QModelIndex& row) {
                if (const LivePlayer* player = this->server(index).players().PlayerAt(row.row())) {
                    OpenPlayerInfo(*player, false);
                }
            });
        connect(server.table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, index] {
                    lastTable_ = index;
                    UpdateButtons();
                });
        connect(server.table, &QWidget::customContextMenuRequested, this,
                [this, index](const QPoint& at) {
                    const QModelIndex row = table(index)->indexAt(at);
                    if (!row.isValid()) {
                        return;
                    }
                    table(index)->selectRow(row.row());
                    QMenu menu(this);
                    menu.addAction(QStringLiteral("&Kick..."), this, &ServersPanel::OnKick);
                    menu.addAction(QStringLiteral("&Temp-kick..."), this,
                                   &ServersPanel::OnTempKick);
                    menu.addAction(QStringLiteral("&Ban..."), this, &ServersPanel::OnBan);
                    menu.addAction(QStringLiteral("&Message..."), this, &ServersPanel::OnMessage);
                    menu.addAction(QStringLiteral("Player &Info..."), this, [this, index, row] {
                        if (const LivePlayer* player =
                                this->server(index).players().PlayerAt(row.row())) {
                            OpenPlayerInfo(*player, false);
                        }
                    });
                    menu.exec(table(index)->viewport()->mapToGlobal(at));
                });
        connect(server.live.get(), &LiveServer::polled, this, &ServersPanel::UpdateStates);
        layout->addWidget(title);
        layout->addWidget(server.state);
        layout->addWidget(server.table, 1);
        servers_.push_back(std::move(server));
    }
}

void ServersPanel::ReloadServers() {
    // The tables show the live servers' models: they go first.
    lastTable_ = -1;
    delete serversBox_;
    servers_.clear();
    // The servers' logs and the database may have changed with them.
    StartGuidLookup();
    BuildServers();
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, serversBox_, 1);
    if (isVisible()) {
        for (Server& server : servers_) {
            server.live->Start();
        }
    }
    UpdateButtons();
}

ServersPanel::~ServersPanel() = default;

void ServersPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    for (Server& server : servers_) {
        server.live->Start();
    }
}

void ServersPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    for (Server& server : servers_) {
        server.live->Stop();
    }
}

void ServersPanel::PollAll() {
    for (Server& server : servers_) {
        server.live->PollNow();
    }
}

void ServersPanel::UpdateStates() {
    const auto now = LiveServer::Clock::now();
    for (Server& server : servers_) {
        server.state->setText(server.live->StateText(now));
    }
}

void ServersPanel::UpdateButtons() {
    const bool selected = SelectedPlayer().has_value();
    for (QPushButton* button : {kickButton_, tempKickButton_, banButton_, messageButton_}) {
        button->setEnabled(selected);
    }
}

std::optional<ServersPanel::Selected> ServersPanel::SelectedPlayer() const {
    if (lastTable_ < 0 || lastTable_ >= serverCount()) {
        return std::nullopt;
    }
    const QModelIndexList rows = table(lastTable_)->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    const LivePlayer* player =
        servers_[static_cast<std::size_t>(lastTable_)].live->players().PlayerAt(rows.front().row());
    if (player == nullptr) {
        return std::nullopt;
    }
    return Selected{lastTable_, *player};
}

void ServersPanel::OpenPlayerInfo(const LivePlayer& player, bool ban) {
    auto* info = new CPlayerInfoDlg(config_, this);
    info->setAttribute(Qt::WA_DeleteOnClose);
    info->FillPlayer(player.status.name, std::string(AddressIp(player.status.address)),
                     player.guid.guid);
    // What the window's ban, unban or temp-ban changed shows in the tables
    // at once, not when the states kept run out. The reader may have been
    // made anew since the window opened.
    connect(&info->bans(), &BanController::finished, this, [this] {
        guids_->ForgetBanStates();
        PollAll();
    });
    info->open();
    if (ban) {
        info->OnBan();
    }
}

void ServersPanel::OnBan() {
    if (const auto selected = SelectedPlayer()) {
        OpenPlayerInfo(selected->player, true);
    }
}

void ServersPanel::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &messageBoxes_;
}

void ServersPanel::SetRecordIdentity(std::string admin, BanClock clock) {
    admin_ = std::move(admin);
    clock_ = std::move(clock);
}

namespace {

// The player an action is for, as the records keep him.
BanTarget TargetOf(const LivePlayer& player) {
    return {player.guid.guid, std::string(AddressIp(player.status.address)), player.status.name};
}

// "Kick <name> from <server>?" and the like: Yes or No.
bool Confirmed(QWidget* parent, const QString& title, const QString& question) {
    return QMessageBox::question(parent, title, question) == QMessageBox::Yes;
}

QString PlainNameOf(const LivePlayer& player) {
    std::string plain;
    AppendVisibleText(player.status.name, plain);
    return LogTextToQString(plain);
}

} // namespace

void ServersPanel::OnKick() {
    const auto selected = SelectedPlayer();
    if (!selected) {
        return;
    }
    const QString name = PlainNameOf(selected->player);
    bool ok = false;
    const QString reason = QInputDialog::getText(this, QStringLiteral("Kick"),
                                                 QStringLiteral("Reason for kicking %1:").arg(name),
                                                 QLineEdit::Normal, {}, &ok);
    const QString serverName = LogTextToQString(server(selected->server).server().name);
    if (!ok || !Confirmed(this, QStringLiteral("Kick"),
                          QStringLiteral("Kick %1 from %2?").arg(name, serverName))) {
        return;
    }
    const std::string bytes = Utf8ToWindows1252(reason.toStdString());
    CommandValues values;
    values.slot = selected->player.status.slot;
    values.reason = bytes;
    Act(selected->server, ServerCommand::Kick, values, TargetOf(selected->player));
}

void ServersPanel::OnTempKick() {
    const auto selected = SelectedPlayer();
    if (!selected) {
        return;
    }
    const QString name = PlainNameOf(selected->player);
    bool ok = false;
    const int minutes = QInputDialog::getInt(this, QStringLiteral("Temp-kick"),
                                             QStringLiteral("Minutes %1 is kept out:").arg(name), 5,
                                             1, 7 * 24 * 60, 1, &ok);
    if (!ok) {
        return;
    }
    const QString reason = QInputDialog::getText(this, QStringLiteral("Temp-kick"),
                                                 QStringLiteral("Reason for kicking %1:").arg(name),
                                                 QLineEdit::Normal, {}, &ok);
    const QString serverName = LogTextToQString(server(selected->server).server().name);
    if (!ok ||
        !Confirmed(
            this, QStringLiteral("Temp-kick"),
            QStringLiteral("Kick %1 from %2 for %3 minutes?").arg(name, serverName).arg(minutes))) {
        return;
    }
    const std::string bytes = Utf8ToWindows1252(reason.toStdString());
    CommandValues values;
    values.slot = selected->player.status.slot;
    values.minutes = minutes;
    values.reason = bytes;
    Act(selected->server, ServerCommand::TempKick, values, TargetOf(selected->player));
}

void ServersPanel::OnMessage() {
    const auto selected = SelectedPlayer();
    if (!selected) {
        return;
    }
    const QString serverName = LogTextToQString(server(selected->server).server().name);
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Message"),
                                               QStringLiteral("Text to say on %1:").arg(serverName),
                                               QLineEdit::Normal, {}, &ok);
    if (!ok || text.trimmed().isEmpty() ||
        !Confirmed(this, QStringLiteral("Message"),
                   QStringLiteral("Say \"%1\" on %2?").arg(text, serverName))) {
        return;
    }
    const std::string bytes = Utf8ToWindows1252(text.toStdString());
    CommandValues values;
    values.text = bytes;
    Act(selected->server, ServerCommand::Say, values, TargetOf(selected->player));
}

void ServersPanel::Act(int index, ServerCommand command, const CommandValues& values,
                       const BanTarget& player) {
    const ServerEntry& entry = server(index).server();
    const std::optional<PlayerAction> action = PlayerActionOf(command, values);
    std::shared_ptr<BanRecordStore> records;
    if (action && !config_.DatabaseLocation().empty()) {
        records = std::make_shared<BanRecordStore>(config_.DatabaseLocation(), admin_, clock_);
    }
    // The outcome is kept before the user is told, as a ban's is.
    const auto keep = [action, player, records](const ServerResult& result) {
        if (action) {
            action->Record(records.get(), player, result);
        }
    };
    const ExpandedCommand expanded = ExpandServerCommand(entry.commands.Template(command), values);
    if (!expanded.ok()) {
        const ServerResult refusal = ActionNotSent(entry.name, expanded.error);
        keep(refusal);
        // Said from the event loop, as an answer would be.
        QMetaObject::invokeMethod(
            this, [this, refusal, records] { Tell(refusal.message, records); },
            Qt::QueuedConnection);
        return;
    }
    const std::string name = entry.name;
    // The servers may be built anew (the configuration read again) before
    // the answer comes.
    const QPointer<LiveServer> live(&server(index));
    client_.Send(entry, expanded.command,
                 [this, name, live, keep, records](const RconReply& reply) {
                     const ServerResult result = ActionResult(reply, name);
                     keep(result);
                     if (reply.answered() && live != nullptr) {
                         live->PollNow(); // show what the command changed
                     }
                     Tell(result.message, records);
                 });
}

void ServersPanel::Tell(const Message& message, const std::shared_ptr<BanRecordStore>& records) {
    if (records != nullptr) {
        records->Close();
    }
    messages_->ShowThen(message, [this, records] {
        const auto failure = records != nullptr ? records->FailureMessage() : std::nullopt;
        if (failure) {
            messages_->ShowThen(*failure, [this] { emit answered(); });
            return;
        }
        emit answered();
    });
}
