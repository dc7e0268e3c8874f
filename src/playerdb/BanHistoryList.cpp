#include "BanHistoryList.h"

#include "BanRecord.h"

BanHistoryList::BanHistoryList(PlayerQueryRunner::LookupFactory lookups, QWidget* parent)
    : QListWidget(parent), runner_(new PlayerQueryRunner(std::move(lookups), this)) {
    setObjectName(QStringLiteral("banHistory"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(runner_, &PlayerQueryRunner::busyChanged, this, &BanHistoryList::busyChanged);
}

void BanHistoryList::SetLookups(PlayerQueryRunner::LookupFactory lookups) {
    runner_->SetLookups(std::move(lookups));
}

void BanHistoryList::ShowNote(const QString& text) {
    clear();
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::NoItemFlags); // a note, not a record to pick
}

void BanHistoryList::Clear() {
    guid_.clear();
    runner_->Cancel(); // a look-up still on its way is answered to nobody
    clear();
}

void BanHistoryList::ShowHistory(const std::string& guid) {
    if (guid.empty()) {
        Clear();
        return;
    }
    guid_ = guid;
    Refresh();
}

void BanHistoryList::Refresh() {
    if (guid_.empty()) {
        return;
    }
    ShowNote(QString::fromLatin1(kReadingHistoryText));
    runner_->Run<std::vector<BanRecord>>(
        [guid = guid_](PlayerLookup& lookup) { return lookup.BanHistory(guid, -1); },
        [this](const QueryOutcome<std::vector<BanRecord>>& outcome) {
            if (!outcome.value) {
                ShowNote(QStringLiteral("The ban history cannot be read: %1")
                             .arg(QString::fromStdString(outcome.error)));
                return;
            }
            if (outcome.value->empty()) {
                ShowNote(QString::fromLatin1(kNoHistoryText));
                return;
            }
            clear();
            for (const BanRecord& record : *outcome.value) {
                auto* item =
                    new QListWidgetItem(QString::fromStdString(BanRecordLine(record)), this);
                // A narrow list shows a long line whole when pointed at.
                item->setToolTip(item->text());
            }
        });
}
