#include "CPlayerInfoDlg.h"

#include "AppConfig.h"
#include "BanFlow.h"
#include "BanHistoryList.h"
#include "BanRecordStore.h"
#include "CBanReasonDlg.h"
#include "DatabaseAliasesCommand.h"
#include "DialogUnits.h"
#include "FindPlayerCommand.h"
#include "GuidTable.h"
#include "LogLine.h"
#include "LogText.h"
#include "SqlPlayerLookup.h"
#include "Windows1252.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimerEvent>
#include <algorithm>

namespace {

constexpr std::string_view kNoConnectionData = "No connection data";

// The bytes of a segment within its line. The walk lays segments inside their
// line; the bounds are kept anyway, so a record never reads past its line.
std::string_view SegmentBytes(const LineView& line, const LineSegment& segment) {
    const int size = std::max(line.byteLength, 0);
    const int start = std::min(segment.start(), size);
    const int length = std::min(segment.length(), size - start);
    return {line.text + start, static_cast<std::size_t>(length)};
}

QLineEdit* AddReadOnlyEdit(QWidget* parent, const QString& name, const QRect& place) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setGeometry(place);
    return edit;
}

QPushButton* AddButton(QWidget* parent, const QString& text, const QString& name,
                       const QRect& place) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CPlayerInfoDlg::CPlayerInfoDlg(const AppConfig& config, QWidget* parent)
    : QDialog(parent), ReplyWaiter(static_cast<QObject&>(*this)), config_(config),
      messageBoxes_(this), namedBoxes_(config.servers, messageBoxes_), admin_(LoginName()),
      clock_(LocalBanTime) {
    setWindowTitle(QStringLiteral("Player Info"));
    QFont courier(QStringLiteral("Courier"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    setFont(courier);

    const DialogUnits units(font());
    // The window of old, and to its right the GUID's ban history.
    setFixedSize(units.Size(400, 326));

    auto label = [this](const char* text, const QRect& place) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setGeometry(place);
    };
    // The group goes first, so that the buttons it frames lie above it.
    auto* banGroup = new QGroupBox(this);
    banGroup->setGeometry(units.Rect(22, 254, 142, 51));

    label("Name:", units.Rect(15, 17, 21, 8));
    nameEdit_ = AddReadOnlyEdit(this, QStringLiteral("name"), units.Rect(40, 15, 132, 14));
    label("IP:", units.Rect(23, 40, 13, 8));
    ipEdit_ = AddReadOnlyEdit(this, QStringLiteral("ip"), units.Rect(40, 38, 132, 14));
    label("Guid:", units.Rect(15, 63, 21, 8));
    guidEdit_ = AddReadOnlyEdit(this, QStringLiteral("guid"), units.Rect(40, 61, 132, 14));
    label("Aliases", units.Rect(79, 91, 29, 8));

    aliasesList_ = new QListWidget(this);
    aliasesList_->setObjectName(QStringLiteral("aliases"));
    aliasesList_->setGeometry(units.Rect(15, 103, 157, 90));
    aliasesList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    aliasesList_->setSortingEnabled(true);

    aliasesButton_ = AddButton(this, QStringLiteral("Aliases from\n  database"),
                               QStringLiteral("aliasesButton"), units.Rect(64, 194, 59, 24));
    connect(aliasesButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnAliasesFromDatabase);

    auto* close = AddButton(this, QStringLiteral("Close"), QStringLiteral("closeButton"),
                            units.Rect(68, 232, 50, 14));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    banButton_ = AddButton(this, QStringLiteral("Ban"), QStringLiteral("banButton"),
                           units.Rect(38, 267, 50, 28));
    connect(banButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnBan);
    unbanButton_ = AddButton(this, QStringLiteral("Unban"), QStringLiteral("unbanButton"),
                             units.Rect(96, 267, 50, 28));
    connect(unbanButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnUnban);

    label("Ban history", units.Rect(193, 17, 80, 8));
    history_ = new BanHistoryList({}, this);
    history_->setGeometry(units.Rect(193, 29, 200, 218));
    findPlayerButton_ = AddButton(this, QStringLiteral("Find player..."),
                                  QStringLiteral("findPlayerButton"), units.Rect(253, 267, 80, 28));
    connect(findPlayerButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnFindPlayer);
}

CPlayerInfoDlg::~CPlayerInfoDlg() = default;

void CPlayerInfoDlg::Fill(const LineView& line, const LineSegment& segment,
                          const GuidTable& guids) {
    aliasesList_->clear();
    if (const ConnectionRecord* connection = segment.player) {
        guid_ = std::string(connection->Guid());
        ip_ = std::string(connection->address.view());
        if (const auto* aliases = guids.Aliases(connection->Guid())) {
            for (const AliasName& alias : *aliases) {
                aliasesList_->addItem(LogTextToQString(alias.name.view()));
            }
        }
    } else {
        guid_.clear();
        ip_ = std::string(kNoConnectionData);
    }
    name_ = std::string(SegmentBytes(line, segment));
    databaseAvailable_ = !config_.databasePath.empty();

    nameEdit_->setText(LogTextToQString(name_));
    ipEdit_->setText(LogTextToQString(ip_));
    guidEdit_->setText(LogTextToQString(guid_));
    // Long names show from their start.
    nameEdit_->setCursorPosition(0);
    ipEdit_->setCursorPosition(0);
    aliasesButton_->setEnabled(databaseAvailable_);
    findPlayerButton_->setEnabled(databaseAvailable_);
    if (databaseAvailable_) {
        history_->SetLookups(SqlLookups(config_.DatabaseLocation()));
        history_->ShowHistory(Windows1252ToUtf8(guid_));
    } else {
        history_->Clear();
    }
}

void CPlayerInfoDlg::SetRecordIdentity(std::string admin, BanClock clock) {
    admin_ = std::move(admin);
    clock_ = std::move(clock);
}

void CPlayerInfoDlg::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &namedBoxes_;
}

template <typename Flow> void CPlayerInfoDlg::RunFlow(Flow&& flow) {
    if (flowRunning_) {
        return;
    }
    flowRunning_ = true;
    banButton_->setEnabled(false);
    unbanButton_->setEnabled(false);
    const auto end = qScopeGuard([this] {
        flowRunning_ = false;
        banButton_->setEnabled(true);
        unbanButton_->setEnabled(true);
        if (closeHeld_) {
            closeHeld_ = false;
            QDialog::done(heldResult_);
        }
    });
    flow();
}

template <typename Flow> void CPlayerInfoDlg::RunRecordedFlow(Flow&& flow) {
    RunFlow([&] {
        if (!databaseAvailable_) {
            flow(nullptr);
            return;
        }
        BanRecordStore records(config_.DatabaseLocation(), admin_, clock_);
        flow(&records);
        records.Close();
        if (const auto failure = records.FailureMessage()) {
            messages_->Show(*failure);
        }
        history_->Refresh();
    });
}

void CPlayerInfoDlg::OnBan() {
    RunRecordedFlow([this](BanRecordStore* records) {
        // One reason dialog for the click, asked once per server. It is shown
        // over this window, so it has this window as its parent.
        CBanReasonDlg reasons(this);
        const BanTarget target{guid_, ip_, name_};
        BanOnEveryServer(config_.servers, target, reasons, *this, *messages_, records);
    });
}

void CPlayerInfoDlg::OnUnban() {
    RunRecordedFlow([this](BanRecordStore* records) {
        const BanTarget target{guid_, ip_, name_};
        UnbanOnEveryServer(config_.servers, target, *this, *messages_, records);
    });
}

void CPlayerInfoDlg::OnFindPlayer() {
    if (databaseAvailable_) {
        ShowFindPlayer(this, config_, guid_);
    }
}

void CPlayerInfoDlg::OnAliasesFromDatabase() {
    if (!databaseAvailable_) {
        return;
    }
    ShowAliasesFromDatabase(this, config_, guid_);
}

void CPlayerInfoDlg::done(int result) {
    if (flowRunning_) {
        // The flow still waits, asks and tells over this window; it closes
        // once the flow is over.
        closeHeld_ = true;
        heldResult_ = result;
        return;
    }
    QDialog::done(result);
}

void CPlayerInfoDlg::timerEvent(QTimerEvent* event) {
    OnTimer(event->timerId());
    QDialog::timerEvent(event);
}
