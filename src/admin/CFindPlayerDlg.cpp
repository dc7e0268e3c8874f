#include "CFindPlayerDlg.h"

#include "AppConfig.h"
#include "BanHistoryList.h"
#include "CTempBanDlg.h"
#include "ColouredNameDelegate.h"
#include "DialogParts.h"
#include "FoundPlayersModel.h"
#include "LogText.h"
#include "Messages.h"
#include "SqlPlayerLookup.h"
#include "Windows1252.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace {

struct ModeChoice {
    const char* text;
    PlayerSearchMode mode;
    const char* placeholder;
};

constexpr ModeChoice kModes[] = {
    {"Name", PlayerSearchMode::Name, "part of a name, letter case ignored"},
    {"Address", PlayerSearchMode::Address, "81.2.3.4, 81.2. or 81.2.0.0/16"},
    {"GUID", PlayerSearchMode::Guid, "the first hexadecimal digits of a GUID"},
};

QListWidget* AddList(const QString& name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    return list;
}

QString Count(std::size_t count) {
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(count));
}

} // namespace

QString FoundPlayersNote(const PlayerFindResult& result) {
    const std::size_t found = result.players.size();
    if (result.cut) {
        return QStringLiteral("More than %1 players match; only the first %1 are shown.")
            .arg(Count(found));
    }
    if (found == 0) {
        return QStringLiteral("No player found");
    }
    return found == 1 ? QStringLiteral("1 player found")
                      : QStringLiteral("%1 players found").arg(Count(found));
}

CFindPlayerDlg::CFindPlayerDlg(const AppConfig& config, QWidget* parent,
                               PlayerQueryRunner::LookupFactory lookups)
    : QDialog(parent), config_(config), bans_(config, *this), messageBoxes_(this) {
    setWindowTitle(QStringLiteral("Find player"));
    if (!lookups) {
        lookups = SqlLookups(config.DatabaseLocation());
    }
    finds_ = new PlayerQueryRunner(lookups, this);

    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("searchMode"));
    for (const ModeChoice& choice : kModes) {
        mode_->addItem(QString::fromLatin1(choice.text));
    }
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("searchText"));
    findButton_ = new QPushButton(QStringLiteral("Find"), this);
    findButton_->setObjectName(QStringLiteral("findButton"));
    findButton_->setDefault(true);
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("busy"));
    busy_->setRange(0, 0); // moves for as long as it shows
    busy_->setTextVisible(false);
    busy_->setMaximumWidth(90);
    busy_->setVisible(false);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(mode_);
    searchRow->addWidget(text_, 1);
    searchRow->addWidget(findButton_);
    searchRow->addWidget(busy_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);

    model_ = new FoundPlayersModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(FoundPlayersModel::kSortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("players"));
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setItemDelegateForColumn(
        FoundPlayersModel::kLatestName,
        new ColouredNameDelegate(FoundPlayersModel::kColouredNameRole, table_));
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSortingEnabled(true);
    // The find's own order, newest last sighting first, until the user sorts.
    table_->sortByColumn(-1, Qt::AscendingOrder);

    names_ = AddList(QStringLiteral("names"), this);
    addresses_ = AddList(QStringLiteral("addresses"), this);
    history_ = new BanHistoryList(lookups, this);
    auto* details = new QHBoxLayout;
    details->addWidget(FramedGroup(QStringLiteral("Names"), names_, this), 1);
    details->addWidget(FramedGroup(QStringLiteral("Addresses"), addresses_, this), 1);
    details->addWidget(FramedGroup(QStringLiteral("Ban history"), history_, this), 3);

    banButton_ = AddNamedButton(QStringLiteral("Ban"), QStringLiteral("banButton"), this);
    unbanButton_ = AddNamedButton(QStringLiteral("Unban"), QStringLiteral("unbanButton"), this);
    tempBanButton_ =
        AddNamedButton(QStringLiteral("Temp-ban..."), QStringLiteral("tempBanButton"), this);
    copyGuidButton_ =
        AddNamedButton(QStringLiteral("Copy GUID"), QStringLiteral("copyGuidButton"), this);
    showLinesButton_ =
        AddNamedButton(QStringLiteral("Show his lines"), QStringLiteral("showLinesButton"), this);
    auto* close = AddNamedButton(QStringLiteral("Close"), QStringLiteral("closeButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(banButton_);
    buttons->addWidget(unbanButton_);
    buttons->addWidget(tempBanButton_);
    buttons->addWidget(copyGuidButton_);
    buttons->addWidget(showLinesButton_);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(status_);
    layout->addWidget(table_, 3);
    layout->addLayout(details, 2);
    layout->addLayout(buttons);
    resize(820, 600);

    connect(mode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            text_->setPlaceholderText(QString::fromLatin1(kModes[index].placeholder));
        }
    });
    text_->setPlaceholderText(QString::fromLatin1(kModes[0].placeholder));
    connect(findButton_, &QPushButton::clicked, this, &CFindPlayerDlg::OnFind);
    connect(text_, &QLineEdit::returnPressed, this, &CFindPlayerDlg::OnFind);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFindPlayerDlg::ShowSelected);
    connect(banButton_, &QPushButton::clicked, this, &CFindPlayerDlg::OnBan);
    connect(unbanButton_, &QPushButton::clicked, this, &CFindPlayerDlg::OnUnban);
    connect(tempBanButton_, &QPushButton::clicked, this, &CFindPlayerDlg::OnTempBan);
    connect(copyGuidButton_, &QPushButton::clicked, this, &CFindPlayerDlg::OnCopyGuid);
    connect(showLinesButton_, &QPushButton::clicked, this, &CFindPlayerDlg::OnShowLines);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(finds_, &PlayerQueryRunner::busyChanged, this, &CFindPlayerDlg::UpdateBusy);
    connect(history_, &BanHistoryList::busyChanged, this, &CFindPlayerDlg::UpdateBusy);
    connect(&bans_, &BanController::started, this, &CFindPlayerDlg::UpdateButtons);
    connect(&bans_, &BanController::finished, this, &CFindPlayerDlg::FlowEnded);

    if (config_.databasePath.empty()) {
        status_->setText(QStringLiteral("No player database is configured."));
        findButton_->setEnabled(false);
    }
    UpdateButtons();
}

CFindPlayerDlg::~CFindPlayerDlg() = default;

void CFindPlayerDlg::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &messageBoxes_;
    bans_.SetMessageSink(messages);
}

bool CFindPlayerDlg::busy() const {
    return finds_->busy() || history_->busy();
}

void CFindPlayerDlg::UpdateBusy() {
    busy_->setVisible(busy());
}

const FoundPlayer* CFindPlayerDlg::SelectedPlayer() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return nullptr;
    }
    return model_->PlayerAt(sorted_->mapToSource(rows.front()).row());
}

void CFindPlayerDlg::UpdateButtons() {
    const bool player = SelectedPlayer() != nullptr;
    banButton_->setEnabled(player && !bans_.running());
    unbanButton_->setEnabled(player && !bans_.running());
    tempBanButton_->setEnabled(player && !bans_.running() && bans_.keepsStates());
    copyGuidButton_->setEnabled(player);
    showLinesButton_->setEnabled(player && showLines_);
}

void CFindPlayerDlg::SetShowLines(ShowLinesHandler showLines) {
    showLines_ = std::move(showLines);
    UpdateButtons();
}

void CFindPlayerDlg::OnShowLines() {
    const FoundPlayer* player = SelectedPlayer();
    if (player == nullptr || !showLines_) {
        return;
    }
    showLines_(QString::fromStdString(player->guid), LogTextToQString(player->latestName));
    accept();
}

void CFindPlayerDlg::StartFind(PlayerSearchMode mode, const QString& text) {
    for (int i = 0; i < static_cast<int>(std::size(kModes)); ++i) {
        if (kModes[i].mode == mode) {
            mode_->setCurrentIndex(i);
        }
    }
    text_->setText(text);
    OnFind();
}

void CFindPlayerDlg::OnFind() {
    if (config_.databasePath.empty()) {
        return;
    }
    const PlayerSearchMode mode = kModes[std::max(0, mode_->currentIndex())].mode;
    const PlayerSearchParse parse = ParsePlayerSearch(mode, QStringToLogText(text_->text()));
    if (!parse.search) {
        // The table showed another search's players, or one still on its
        // way would: under this error they would pass for its answer.
        finds_->Cancel();
        ShowPlayers({});
        status_->setText(QString::fromStdString(parse.error));
        return;
    }
    status_->setText(QStringLiteral("Searching..."));
    finds_->Run<PlayerFindResult>(
        [search = *parse.search](PlayerLookup& lookup) {
            return lookup.FindPlayers(search, kShownLimit);
        },
        [this](const QueryOutcome<PlayerFindResult>& outcome) { ShowFound(outcome); });
}

void CFindPlayerDlg::ShowFound(const QueryOutcome<PlayerFindResult>& outcome) {
    if (!outcome.value) {
        ShowPlayers({});
        status_->setText(QStringLiteral("The search failed."));
        messages_->Show({outcome.error, kApplicationTitle, MessageIcon::None});
        return;
    }
    status_->setText(FoundPlayersNote(*outcome.value));
    ShowPlayers(outcome.value->players);
}

void CFindPlayerDlg::ShowPlayers(const std::vector<FoundPlayer>& players) {
    model_->SetPlayers(players);
    ++shownPlayers_;
    ShowBanStates();
    table_->resizeColumnsToContents();
    if (model_->rowCount() > 0) {
        table_->selectRow(0); // which shows it
    } else {
        ShowSelected();
    }
}

void CFindPlayerDlg::ShowSelected() {
    names_->clear();
    addresses_->clear();
    const FoundPlayer* player = SelectedPlayer();
    if (player == nullptr) {
        history_->Clear();
    } else {
        for (const std::string& name : player->names) {
            names_->addItem(QString::fromStdString(name));
        }
        for (const std::string& address : player->addresses) {
            addresses_->addItem(QString::fromStdString(address));
        }
        history_->ShowHistory(player->guid);
    }
    UpdateButtons();
}

void CFindPlayerDlg::StartFlow(BanAction action) {
    if (const FoundPlayer* player = SelectedPlayer()) {
        // The player as the log would have given it: log bytes.
        bans_.Start(action,
                    {Utf8ToWindows1252(player->guid), Utf8ToWindows1252(player->latestAddress),
                     Utf8ToWindows1252(player->latestName)});
    }
}

void CFindPlayerDlg::FlowEnded() {
    history_->Refresh();
    ShowBanStates();
    UpdateButtons();
}

void CFindPlayerDlg::ShowBanStates() {
    std::vector<std::string> guids;
    for (int row = 0; row < model_->rowCount(); ++row) {
        guids.push_back(model_->PlayerAt(row)->guid);
    }
    if (guids.empty()) {
        return;
    }
    bans_.ReadActiveStates(
        guids, this, [this, guids, shown = shownPlayers_](const ActiveBanStates& read) {
            if (shown != shownPlayers_ || !read.failure.empty()) {
                return; // another list, or the column stays empty
            }
            std::map<std::string, QString> texts;
            for (std::size_t i = 0; i < read.states.size(); ++i) {
                if (read.states[i]) {
                    texts.emplace(guids[i], QString::fromStdString(ActiveBanText(read.states[i])));
                }
            }
            model_->SetBanTexts(std::move(texts));
        });
}

void CFindPlayerDlg::OnBan() {
    StartFlow(BanAction::Ban);
}

void CFindPlayerDlg::OnUnban() {
    StartFlow(BanAction::Unban);
}

void CFindPlayerDlg::OnTempBan() {
    const FoundPlayer* player = SelectedPlayer();
    if (player == nullptr || bans_.running() || !bans_.keepsStates()) {
        return;
    }
    const BanTarget target{Utf8ToWindows1252(player->guid),
                           Utf8ToWindows1252(player->latestAddress),
                           Utf8ToWindows1252(player->latestName)};
    // The name as the table shows it, without its colour codes.
    const QString name = table_->selectionModel()
                             ->selectedRows(FoundPlayersModel::kLatestName)
                             .front()
                             .data()
                             .toString();
    AskTempBan(this, name, [this, target](long long minutes, std::string reason) {
        bans_.StartTempBan(target, minutes, std::move(reason));
    });
}

void CFindPlayerDlg::OnCopyGuid() {
    if (const FoundPlayer* player = SelectedPlayer()) {
        QApplication::clipboard()->setText(QString::fromStdString(player->guid));
    }
}

void CFindPlayerDlg::done(int result) {
    // A flow still asks and tells over this window: it closes once the flow
    // is over.
    if (!bans_.HoldClose(result)) {
        QDialog::done(result);
    }
}
