#include "ServersPanel.h"

#include "CPlayerInfoDlg.h"
#include "ColouredNameDelegate.h"
#include "LogText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

ServersPanel::ServersPanel(const AppConfig& config, QWidget* parent)
    : QWidget(parent), config_(config) {
    auto* layout = new QVBoxLayout(this);
    if (config.servers.empty()) {
        layout->addWidget(new QLabel(QStringLiteral("No servers configured"), this));
    }
    for (const ServerEntry& entry : config.servers) {
        Server server;
        server.live = std::make_unique<LiveServer>(client_, entry);
        auto* title = new QLabel(this);
        title->setTextFormat(Qt::PlainText);
        title->setText(LogTextToQString(entry.name));
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        server.state = new QLabel(QStringLiteral("Asking..."), this);
        server.state->setTextFormat(Qt::PlainText);
        server.table = new QTableView(this);
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
                    menu.addAction(QStringLiteral("&Ban..."), this, &ServersPanel::OnBan);
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
    auto* buttons = new QHBoxLayout;
    banButton_ = new QPushButton(QStringLiteral("&Ban..."), this);
    connect(banButton_, &QPushButton::clicked, this, &ServersPanel::OnBan);
    buttons->addWidget(banButton_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    // The age of every answer, kept current.
    auto* ages = new QTimer(this);
    connect(ages, &QTimer::timeout, this, &ServersPanel::UpdateStates);
    ages->start(1000);
    UpdateButtons();
}

ServersPanel::~ServersPanel() {
    // Their questions go before the client they ask through.
    servers_.clear();
}

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
    banButton_->setEnabled(SelectedPlayer().has_value());
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
