#include "CBansDlg.h"

#include "AppConfig.h"
#include "BanHistoryList.h"
#include "BanStatePlan.h"
#include "BanStates.h"
#include "BanSync.h"
#include "CBanMinutesDlg.h"
#include "DialogParts.h"
#include "Messages.h"
#include "PlayerDatabase.h"
#include "SqlPlayerLookup.h"
#include "Windows1252.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <new>

namespace {

constexpr const char* kColumnTitles[] = {"Status", "Kind",      "GUID",  "Name",
                                         "Reason", "Issued by", "Start", "Expires",
                                         "Ended",  "By",        "Why"};
static_assert(std::size(kColumnTitles) == CBansDlg::kColumnCount);

constexpr int kFilterPauseMs = 300;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Why a state no longer holds, as the list says it.
QString EndText(const BanState& state, BanStatus status) {
    switch (status) {
    case BanStatus::Lifted:
        return Text(state.liftReason);
    case BanStatus::Replaced:
        return QStringLiteral("replaced by a later ban");
    case BanStatus::Expired:
        return QStringLiteral("ran out");
    case BanStatus::Active:
        break;
    }
    return {};
}

QStringList RowTexts(const BanState& state, std::int64_t now) {
    const BanStatus status = state.StatusAt(now);
    QString ended = Text(state.endedTime);
    if (ended.isEmpty() && status == BanStatus::Expired) {
        ended = Text(state.expiryTime);
    }
    return {QString::fromLatin1(BanStatusWord(status)),
            QString::fromLatin1(BanKindWord(state.kind)),
            Text(state.guid),
            Text(state.name),
            Text(state.reason),
            Text(state.issuedBy),
            Text(state.startTime),
            state.expiry ? Text(state.expiryTime) : QStringLiteral("permanent"),
            ended,
            status == BanStatus::Lifted ? Text(state.liftedBy) : QString(),
            EndText(state, status)};
}

QLineEdit* AddFilter(const QString& name, const QString& placeholder, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    edit->setClearButtonEnabled(true);
    return edit;
}

} // namespace

CBansDlg::CBansDlg(const AppConfig& config, QWidget* parent,
                   PlayerQueryRunner::LookupFactory lookups)
    : QDialog(parent), config_(config), bans_(config, *this), messageBoxes_(this),
      admin_(LoginName()), clock_(LocalBanTime) {
    setWindowTitle(QStringLiteral("Bans"));
    if (!lookups && !config_.databasePath.empty()) {
        lookups = SqlLookups(config_.DatabaseLocation());
    }

    guid_ = AddFilter(QStringLiteral("guidFilter"), QStringLiteral("the whole GUID"), this);
    name_ = AddFilter(QStringLiteral("nameFilter"), QStringLiteral("part of a name"), this);
    adminFilter_ = AddFilter(QStringLiteral("adminFilter"), QStringLiteral("an admin"), this);
    activeOnly_ = new QCheckBox(QStringLiteral("&Active only"), this);
    activeOnly_->setObjectName(QStringLiteral("activeOnly"));
    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("GUID:"), this));
    filters->addWidget(guid_, 3);
    filters->addWidget(new QLabel(QStringLiteral("Name:"), this));
    filters->addWidget(name_, 2);
    filters->addWidget(new QLabel(QStringLiteral("Admin:"), this));
    filters->addWidget(adminFilter_, 1);
    filters->addWidget(activeOnly_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);

    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("bans"));
    QStringList titles;
    for (const char* title : kColumnTitles) {
        titles << QString::fromLatin1(title);
    }
    table_->setHorizontalHeaderLabels(titles);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);

    stateHistory_ = new QListWidget(this);
    stateHistory_->setObjectName(QStringLiteral("stateHistory"));
    records_ = new BanHistoryList(lookups, this);
    auto* history = new QHBoxLayout;
    history->addWidget(FramedGroup(QStringLiteral("Ban states of this GUID"), stateHistory_, this),
                       1);
    history->addWidget(FramedGroup(QStringLiteral("Ban records"), records_, this), 1);

    liftButton_ = AddNamedButton(QStringLiteral("&Lift..."), QStringLiteral("liftButton"), this);
    extendButton_ =
        AddNamedButton(QStringLiteral("&Extend..."), QStringLiteral("extendButton"), this);
    syncButton_ = AddNamedButton(QStringLiteral("S&ync"), QStringLiteral("syncButton"), this);
    syncButton_->setToolTip(
        QStringLiteral("Send every active permanent ban to each server that does not hold it yet"));
    syncProgress_ = new QProgressBar(this);
    syncProgress_->setObjectName(QStringLiteral("syncProgress"));
    syncProgress_->setVisible(false);
    auto* close = AddNamedButton(QStringLiteral("Close"), QStringLiteral("closeButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(liftButton_);
    buttons->addWidget(extendButton_);
    buttons->addWidget(syncButton_);
    buttons->addWidget(syncProgress_, 1);
    buttons->addStretch(0);
    buttons->addWidget(close);

    syncResults_ = new QListWidget(this);
    syncResults_->setObjectName(QStringLiteral("syncResults"));
    syncResults_->setVisible(false);
    syncResults_->setMaximumHeight(syncResults_->fontMetrics().height() * 6);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(status_);
    layout->addWidget(table_, 3);
    layout->addLayout(history, 2);
    layout->addWidget(syncResults_);
    layout->addLayout(buttons);
    resize(980, 640);

    filterPause_.setSingleShot(true);
    filterPause_.setInterval(kFilterPauseMs);
    connect(&filterPause_, &QTimer::timeout, this, &CBansDlg::Refresh);
    for (QLineEdit* edit : {guid_, name_, adminFilter_}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { filterPause_.start(); });
        connect(edit, &QLineEdit::returnPressed, this, &CBansDlg::Refresh);
    }
    connect(activeOnly_, &QCheckBox::toggled, this, &CBansDlg::Refresh);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &CBansDlg::ShowSelected);
    connect(liftButton_, &QPushButton::clicked, this, &CBansDlg::OnLift);
    connect(extendButton_, &QPushButton::clicked, this, &CBansDlg::OnExtend);
    connect(syncButton_, &QPushButton::clicked, this, &CBansDlg::OnSync);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(&bans_, &BanController::started, this, &CBansDlg::UpdateButtons);
    connect(&bans_, &BanController::finished, this, [this] {
        records_->Refresh();
        UpdateButtons();
    });

    if (config_.databasePath.empty()) {
        status_->setText(QStringLiteral("No player database is configured."));
        for (QWidget* control :
             std::initializer_list<QWidget*>{guid_, name_, adminFilter_, activeOnly_}) {
            control->setEnabled(false);
        }
    } else {
        banStates_ = std::make_unique<BanStates>(config_.DatabaseLocation(), admin_, clock_);
        Refresh();
    }
    UpdateButtons();
}

CBansDlg::~CBansDlg() = default;

void CBansDlg::SetIdentity(std::string admin, BanClock clock) {
    admin_ = std::move(admin);
    clock_ = std::move(clock);
    bans_.SetRecordIdentity(admin_, clock_);
    if (banStates_ != nullptr) {
        banStates_ = std::make_unique<BanStates>(config_.DatabaseLocation(), admin_, clock_);
    }
}

void CBansDlg::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &messageBoxes_;
    bans_.SetMessageSink(messages);
}

void CBansDlg::Tell(const Message& message) {
    status_->setText(QString::fromStdString(message.text));
    messages_->Show(message);
}

void CBansDlg::Refresh() {
    filterPause_.stop();
    if (banStates_ == nullptr) {
        return;
    }
    const BanState* selected = SelectedState();
    const std::int64_t selectedKey = selected != nullptr ? selected->key : 0;
    BanStateFilter filter;
    filter.activeOnly = activeOnly_->isChecked();
    filter.guid = guid_->text().trimmed().toStdString();
    filter.name = name_->text().trimmed().toStdString();
    filter.admin = adminFilter_->text().trimmed().toStdString();
    if (!filter.guid.empty() && !StateGuid(filter.guid)) {
        states_.clear();
        ShowStates(0);
        status_->setText(QStringLiteral("Type the whole GUID: 32 hexadecimal digits."));
        return;
    }
    try {
        states_ = banStates_->List(filter);
        now_ = banStates_->Now();
    } catch (const DatabaseError& error) {
        states_.clear();
        ShowStates(0);
        Tell({"The bans could not be read:\n" + std::string(error.what()), kApplicationTitle,
              MessageIcon::Error});
        return;
    } catch (const std::bad_alloc&) {
        states_.clear();
        ShowStates(0);
        Tell({"Other error", kApplicationTitle, MessageIcon::Error});
        return;
    }
    ShowStates(selectedKey);
    const std::size_t count = states_.size();
    status_->setText(count == 0   ? QStringLiteral("No ban found")
                     : count == 1 ? QStringLiteral("1 ban")
                                  : QStringLiteral("%1 bans").arg(count));
}

void CBansDlg::ShowStates(std::int64_t selectedKey) {
    const QSignalBlocker quiet(table_);
    table_->clearContents();
    table_->setRowCount(static_cast<int>(states_.size()));
    for (std::size_t row = 0; row < states_.size(); ++row) {
        const QStringList texts = RowTexts(states_[row], now_);
        for (int column = 0; column < kColumnCount; ++column) {
            table_->setItem(static_cast<int>(row), column, new QTableWidgetItem(texts[column]));
        }
    }
    table_->resizeColumnsToContents();
    if (!SelectState(selectedKey) && !states_.empty()) {
        table_->selectRow(0);
    }
    ShowSelected();
}

bool CBansDlg::SelectState(std::int64_t key) {
    for (std::size_t row = 0; row < states_.size(); ++row) {
        if (states_[row].key == key) {
            table_->selectRow(static_cast<int>(row));
            return true;
        }
    }
    return false;
}

const BanState* CBansDlg::SelectedState() const {
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    if (ranges.isEmpty()) {
        return nullptr;
    }
    const auto row = static_cast<std::size_t>(ranges.front().topRow());
    return row < states_.size() ? &states_[row] : nullptr;
}

void CBansDlg::ShowSelected() {
    stateHistory_->clear();
    const BanState* state = SelectedState();
    if (state == nullptr) {
        records_->Clear();
        UpdateButtons();
        return;
    }
    try {
        for (const BanState& earlier : banStates_->History(state->guid)) {
            stateHistory_->addItem(Text(BanStateLine(earlier, now_)));
        }
    } catch (const DatabaseError& error) {
        stateHistory_->addItem(Text(error.what()));
    }
    if (records_->guid() != state->guid) {
        records_->ShowHistory(state->guid);
    }
    UpdateButtons();
}

void CBansDlg::UpdateButtons() {
    const BanState* state = SelectedState();
    const bool active = state != nullptr && state->ActiveAt(now_);
    liftButton_->setEnabled(active && !bans_.running());
    extendButton_->setEnabled(active && state->kind == BanKind::Temporary);
    syncButton_->setEnabled(banStates_ != nullptr && !config_.servers.empty() && !syncRunning());
}

void CBansDlg::OnLift() {
    const BanState* state = SelectedState();
    if (state == nullptr) {
        return;
    }
    bool ok = false;
    const QString why =
        QInputDialog::getText(this, QStringLiteral("Lift ban"),
                              QStringLiteral("Why is the ban of %1 lifted?")
                                  .arg(state->name.empty() ? Text(state->guid) : Text(state->name)),
                              QLineEdit::Normal, {}, &ok);
    if (ok) {
        Lift(why.toStdString());
    }
}

void CBansDlg::Lift(const std::string& why) {
    const BanState* selected = SelectedState();
    if (selected == nullptr) {
        return;
    }
    const BanState state = *selected;
    BanChange change;
    try {
        change = States().Lift(state.guid, why);
    } catch (const DatabaseError& error) {
        Tell({"The ban was not lifted:\n" + std::string(error.what()), kApplicationTitle,
              MessageIcon::Error});
        return;
    }
    Refresh();
    status_->setText(Text(change.text));
    // A permanent ban is on the servers' ban lists too (a temp-ban never
    // is): they are asked to unban, each answer told as Player Info tells it.
    if (change.outcome == BanChangeOutcome::Lifted && state.kind == BanKind::Permanent &&
        !config_.servers.empty()) {
        bans_.Start(BanAction::Unban, BanTarget{Utf8ToWindows1252(state.guid), {}, {}});
    }
}

void CBansDlg::OnExtend() {
    const BanState* state = SelectedState();
    if (state == nullptr) {
        return;
    }
    const auto minutes =
        CBanMinutesDlg::Ask(this, QStringLiteral("Extend ban"),
                            QStringLiteral("How much longer is %1 banned? It ends %2 now.")
                                .arg(state->name.empty() ? Text(state->guid) : Text(state->name),
                                     Text(state->expiryTime)));
    if (minutes) {
        Extend(*minutes);
    }
}

void CBansDlg::Extend(long long minutes) {
    const BanState* selected = SelectedState();
    if (selected == nullptr) {
        return;
    }
    const std::string guid = selected->guid;
    BanChange change;
    try {
        change = States().Extend(guid, minutes, {});
    } catch (const DatabaseError& error) {
        Tell({"The ban was not extended:\n" + std::string(error.what()), kApplicationTitle,
              MessageIcon::Error});
        return;
    }
    Refresh();
    if (change.state) {
        SelectState(change.state->key);
    }
    status_->setText(Text(change.text));
}

BanStates& CBansDlg::States() {
    return *banStates_;
}

bool CBansDlg::syncRunning() const {
    // Until its end is shown.
    return sync_ != nullptr;
}

void CBansDlg::OnSync() {
    if (banStates_ == nullptr || syncRunning()) {
        return;
    }
    sync_ = new BanSync(config_.servers, config_.DatabaseLocation(), this);
    sync_->SetRecordIdentity(admin_, clock_);
    connect(sync_, &BanSync::progressed, this, &CBansDlg::SyncProgressed);
    connect(sync_, &BanSync::finished, this, &CBansDlg::SyncFinished, Qt::QueuedConnection);
    syncResults_->clear();
    syncResults_->setVisible(false);
    syncProgress_->setRange(0, 0); // moves while the plan is read
    syncProgress_->setFormat(QStringLiteral("Reading the bans..."));
    syncProgress_->setVisible(true);
    status_->setText(QStringLiteral("Syncing the permanent bans with the servers..."));
    sync_->Start();
    UpdateButtons();
}

void CBansDlg::SyncProgressed(int done, int total) {
    syncProgress_->setRange(0, std::max(total, 1));
    syncProgress_->setValue(total == 0 ? 1 : done);
    syncProgress_->setFormat(QStringLiteral("%v of %m sent"));
}

void CBansDlg::SyncFinished() {
    BanSync* sync = sync_;
    syncProgress_->setVisible(false);
    if (sync == nullptr) {
        return;
    }
    if (!sync->error().empty()) {
        Tell({sync->error(), kApplicationTitle, MessageIcon::Error});
    } else {
        for (const BanSyncServerReport& report : sync->reports()) {
            auto* item = new QListWidgetItem(Text(BanSyncReportLine(report)), syncResults_);
            if (report.failed > 0) {
                item->setForeground(Qt::red);
            }
        }
        syncResults_->setVisible(true);
        status_->setText(sync->EveryServerHoldsEveryBan()
                             ? QStringLiteral("Every server holds every permanent ban.")
                             : QStringLiteral("Some servers did not take every ban: see below."));
        if (const auto failure = sync->RecordsFailure()) {
            messages_->Show(*failure);
        }
        records_->Refresh();
    }
    sync->deleteLater();
    sync_ = nullptr;
    UpdateButtons();
}

void CBansDlg::done(int result) {
    // A flow still asks and tells over this window: it closes once the flow
    // is over. A sync is cut short: what the servers answered is recorded.
    if (!bans_.HoldClose(result)) {
        QDialog::done(result);
    }
}
