#include "CPlayerInfoDlg.h"

#include "AppConfig.h"
#include "BanHistoryList.h"
#include "CTempBanDlg.h"
#include "DatabaseAliasesCommand.h"
#include "FindPlayerCommand.h"
#include "GuidTable.h"
#include "LogLine.h"
#include "LogText.h"
#include "PlayerGuid.h"
#include "SqlPlayerLookup.h"
#include "VisibleText.h"
#include "Windows1252.h"

#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
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

QLineEdit* AddReadOnlyEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

QPushButton* AddButton(QWidget* parent, const QString& text, const QString& name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The margins a layout inside `group` would have: the group's frame and
// title, then a child layout's own.
QMargins InsideOf(const QGroupBox& group) {
    const QStyle& style = *group.style();
    return group.contentsMargins() +
           QMargins(style.pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, &group),
                    style.pixelMetric(QStyle::PM_LayoutTopMargin, nullptr, &group),
                    style.pixelMetric(QStyle::PM_LayoutRightMargin, nullptr, &group),
                    style.pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, &group));
}

} // namespace

CPlayerInfoDlg::CPlayerInfoDlg(const AppConfig& config, QWidget* parent)
    : QDialog(parent), config_(config), bans_(config, *this) {
    setWindowTitle(QStringLiteral("Player Info"));
    QFont courier(QStringLiteral("Courier"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    setFont(courier);
    const QFontMetrics metrics(font());

    auto label = [this](const char* text) { return new QLabel(QString::fromLatin1(text), this); };
    // The group goes first, so that the buttons it frames lie above it.
    auto* banGroup = new QGroupBox(this);

    auto* nameLabel = label("Name:");
    nameEdit_ = AddReadOnlyEdit(this, QStringLiteral("name"));
    auto* ipLabel = label("IP:");
    ipEdit_ = AddReadOnlyEdit(this, QStringLiteral("ip"));
    auto* guidLabel = label("Guid:");
    guidEdit_ = AddReadOnlyEdit(this, QStringLiteral("guid"));
    auto* aliasesLabel = label("Aliases");

    aliasesList_ = new QListWidget(this);
    aliasesList_->setObjectName(QStringLiteral("aliases"));
    aliasesList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    aliasesList_->setSortingEnabled(true);
    // Room for a long name across and a handful of names down.
    aliasesList_->setMinimumSize(metrics.averageCharWidth() * 39, metrics.lineSpacing() * 8);

    aliasesButton_ = AddButton(this, QStringLiteral("Aliases from\n  database"),
                               QStringLiteral("aliasesButton"));
    connect(aliasesButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnAliasesFromDatabase);
    showLinesButton_ =
        AddButton(this, QStringLiteral("Show his lines"), QStringLiteral("showLinesButton"));
    showLinesButton_->setEnabled(false);
    connect(showLinesButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnShowLines);

    auto* close = AddButton(this, QStringLiteral("Close"), QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    banButton_ = AddButton(this, QStringLiteral("Ban"), QStringLiteral("banButton"));
    connect(banButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnBan);
    unbanButton_ = AddButton(this, QStringLiteral("Unban"), QStringLiteral("unbanButton"));
    connect(unbanButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnUnban);
    tempBanButton_ =
        AddButton(this, QStringLiteral("Temp-ban..."), QStringLiteral("tempBanButton"));
    connect(tempBanButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnTempBan);
    connect(&bans_, &BanController::started, this, &CPlayerInfoDlg::UpdateBanButtons);
    connect(&bans_, &BanController::finished, this, &CPlayerInfoDlg::FlowEnded);

    auto* historyLabel = label("Ban history");
    history_ = new BanHistoryList({}, this);
    history_->setMinimumSize(metrics.averageCharWidth() * 50, metrics.lineSpacing() * 24);
    findPlayerButton_ =
        AddButton(this, QStringLiteral("Find player..."), QStringLiteral("findPlayerButton"));
    connect(findPlayerButton_, &QPushButton::clicked, this, &CPlayerInfoDlg::OnFindPlayer);
    // The buttons that go to the servers and to the database are twice a
    // button's height.
    for (QPushButton* button : {banButton_, unbanButton_, tempBanButton_, findPlayerButton_}) {
        button->setMinimumHeight(button->sizeHint().height() * 2);
    }

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(nameLabel, nameEdit_);
    fields->addRow(ipLabel, ipEdit_);
    fields->addRow(guidLabel, guidEdit_);
    banState_ = new QLabel(this);
    banState_->setObjectName(QStringLiteral("banState"));
    banState_->setTextFormat(Qt::PlainText);
    fields->addRow(QString(), banState_);

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(aliasesButton_, 0, Qt::AlignHCenter);
    listButtons->addWidget(showLinesButton_, 0, Qt::AlignHCenter);
    listButtons->addSpacing(metrics.height());
    listButtons->addWidget(close, 0, Qt::AlignHCenter);

    // Ban and Unban are the window's own children, as the other controls
    // are, laid over the group: the group only draws the frame around them.
    // It has no title, so its frame stays as it is whatever the font.
    auto* banRow = new QHBoxLayout;
    banRow->setContentsMargins(InsideOf(*banGroup));
    banRow->addStretch(1);
    banRow->addWidget(banButton_);
    banRow->addWidget(unbanButton_);
    banRow->addWidget(tempBanButton_);
    banRow->addStretch(1);

    auto* historyColumn = new QVBoxLayout;
    historyColumn->addWidget(historyLabel);
    historyColumn->addWidget(history_, 1);

    // The player on the left, the GUID's ban history on the right with some
    // room between; the lists take what a larger window gives.
    auto* layout = new QGridLayout(this);
    layout->addLayout(fields, 0, 0);
    layout->addWidget(aliasesLabel, 1, 0, Qt::AlignHCenter);
    layout->addWidget(aliasesList_, 2, 0);
    layout->addLayout(listButtons, 3, 0);
    layout->addWidget(banGroup, 4, 0);
    layout->addLayout(banRow, 4, 0);
    layout->setColumnMinimumWidth(1, metrics.averageCharWidth() * 3);
    layout->addLayout(historyColumn, 0, 2, 4, 1);
    layout->addWidget(findPlayerButton_, 4, 2, Qt::AlignCenter);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 4);
    layout->setColumnStretch(2, 5);
    // Placed at once, as the window always was: its controls have their
    // places before it first shows.
    adjustSize();
    layout->activate();
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
    ShowFilled();
}

void CPlayerInfoDlg::FillPlayer(std::string name, std::string ip, std::string guid) {
    aliasesList_->clear();
    name_ = std::move(name);
    ip_ = ip.empty() ? std::string(kNoConnectionData) : std::move(ip);
    guid_ = std::move(guid);
    ShowFilled();
}

void CPlayerInfoDlg::ShowFilled() {
    databaseAvailable_ = !config_.databasePath.empty();
    nameEdit_->setText(LogTextToQString(name_));
    ipEdit_->setText(LogTextToQString(ip_));
    guidEdit_->setText(LogTextToQString(guid_));
    // Long names show from their start.
    nameEdit_->setCursorPosition(0);
    ipEdit_->setCursorPosition(0);
    aliasesButton_->setEnabled(databaseAvailable_);
    findPlayerButton_->setEnabled(databaseAvailable_);
    showLinesButton_->setEnabled(showLines_ && !guid_.empty());
    if (databaseAvailable_) {
        history_->SetLookups(SqlLookups(config_.DatabaseLocation()));
        history_->ShowHistory(Windows1252ToUtf8(guid_));
    } else {
        history_->Clear();
    }
    UpdateBanButtons();
    ShowBanState();
}

void CPlayerInfoDlg::UpdateBanButtons() {
    const bool idle = !bans_.running();
    banButton_->setEnabled(idle);
    unbanButton_->setEnabled(idle);
    // A temp-ban lives in the player database only.
    tempBanButton_->setEnabled(idle && databaseAvailable_ && IsPlayerGuid(guid_));
}

void CPlayerInfoDlg::ShowBanState() {
    banState_->clear();
    if (!databaseAvailable_ || !IsPlayerGuid(guid_)) {
        return;
    }
    bans_.ReadActiveStates(
        {Windows1252ToUtf8(guid_)}, this, [this, guid = guid_](const ActiveBanStates& read) {
            if (guid != guid_) {
                return; // filled with another player meanwhile
            }
            banState_->setText(read.failure.empty()
                                   ? QString::fromStdString(ActiveBanText(read.states.front()))
                                   : QStringLiteral("ban state not read: ") +
                                         QString::fromStdString(read.failure));
        });
}

QString CPlayerInfoDlg::banStateText() const {
    return banState_->text();
}

void CPlayerInfoDlg::FlowEnded() {
    UpdateBanButtons();
    if (databaseAvailable_) {
        history_->Refresh();
        ShowBanState();
    }
}

void CPlayerInfoDlg::OnBan() {
    bans_.Start(BanAction::Ban, {guid_, ip_, name_});
}

void CPlayerInfoDlg::OnUnban() {
    bans_.Start(BanAction::Unban, {guid_, ip_, name_});
}

void CPlayerInfoDlg::OnTempBan() {
    if (!databaseAvailable_ || !IsPlayerGuid(guid_) || bans_.running()) {
        return;
    }
    std::string plain;
    AppendVisibleText(name_, plain);
    AskTempBan(
        this, LogTextToQString(plain.empty() ? guid_ : plain),
        [this, target = BanTarget{guid_, ip_, name_}](long long minutes, std::string reason) {
            bans_.StartTempBan(target, minutes, std::move(reason));
        });
}

void CPlayerInfoDlg::OnFindPlayer() {
    if (!databaseAvailable_) {
        return;
    }
    ShowLinesHandler showLines;
    if (showLines_) {
        // The player chosen there, and this window closes with it.
        showLines = [this](const QString& guid, const QString& name) {
            showLines_(guid, name);
            accept();
        };
    }
    ShowFindPlayer(this, config_, guid_, showLines);
}

void CPlayerInfoDlg::SetShowLines(ShowLinesHandler showLines) {
    showLines_ = std::move(showLines);
    showLinesButton_->setEnabled(showLines_ && !guid_.empty());
}

void CPlayerInfoDlg::OnShowLines() {
    if (!showLines_ || guid_.empty()) {
        return;
    }
    showLines_(LogTextToQString(guid_), LogTextToQString(name_));
    accept();
}

void CPlayerInfoDlg::OnAliasesFromDatabase() {
    if (!databaseAvailable_) {
        return;
    }
    ShowAliasesFromDatabase(this, config_, guid_);
}

void CPlayerInfoDlg::done(int result) {
    // A flow still asks and tells over this window: it closes once the flow
    // is over.
    if (!bans_.HoldClose(result)) {
        QDialog::done(result);
    }
}
