#include "BanRecordStore.h"

#include "BanRecordSql.h"
#include "Messages.h"
#include "PlayerDatabase.h"
#include "SchemaUpgrade.h"
#include "Windows1252.h"

#include <QSqlQuery>
#include <QVariant>
#include <new>

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

BanRecordStore::BanRecordStore(std::string location, std::string admin, BanClock clock)
    : location_(std::move(location)), admin_(std::move(admin)), clock_(std::move(clock)) {}

BanRecordStore::~BanRecordStore() {
    Close();
}

void BanRecordStore::Close() {
    connection_.Close();
}

void BanRecordStore::OpenAndUpgrade() {
    std::string error;
    const auto target = ParseDatabaseTarget(location_, error);
    if (!target) {
        throw DatabaseError(error);
    }
    connection_.Open(*target);
    try {
        UpgradePlayerSchema(connection_);
    } catch (...) {
        connection_.Close();
        throw;
    }
}

void BanRecordStore::Store(const BanRecord& record, BanTime time) {
    if (!connection_.isOpen()) {
        OpenAndUpgrade();
    }
    QSqlQuery query = connection_.Prepare(QString::fromLatin1(BanRecordSql::kInsert));
    query.bindValue(0, Utf8(FormatBanTime(time)));
    query.bindValue(1, static_cast<qlonglong>(time.epochSeconds));
    query.bindValue(2, Utf8(record.action));
    query.bindValue(3, Utf8(record.guid));
    query.bindValue(4, Utf8(record.name));
    query.bindValue(5, Utf8(record.ip));
    query.bindValue(6, Utf8(record.reason));
    query.bindValue(7, Utf8(record.server));
    query.bindValue(8, Utf8(record.result));
    query.bindValue(9, Utf8(record.admin));
    query.bindValue(10, record.minutes ? QVariant(*record.minutes)
                                       : QVariant(QMetaType::fromType<int>()));
    connection_.Execute(query);
}

void BanRecordStore::Record(const ServerOutcomeRecord& outcome) {
    action_ = outcome.action;
    try {
        const BanTarget& target = outcome.target;
        const BanRecord record{
            {},
            std::string(BanActionWord(outcome.action)),
            Windows1252ToUtf8(target.guid),
            Windows1252ToUtf8(target.name),
            Windows1252ToUtf8(target.ip),
            Windows1252ToUtf8(outcome.reason),
            Windows1252ToUtf8(outcome.result.server),
            outcome.result.message.text,
            admin_,
            outcome.minutes,
        };
        Store(record, clock_());
        ++stored_;
        return;
    } catch (const DatabaseError& error) {
        if (firstError_.empty()) {
            firstError_ = error.what();
        }
    } catch (const std::bad_alloc&) {
        if (firstError_.empty()) {
            firstError_ = "Other error";
        }
    } catch (const std::exception& error) {
        // The flow goes on whatever went wrong here.
        if (firstError_.empty()) {
            firstError_ = error.what();
        }
    }
    ++failed_;
    connection_.Close(); // the next record starts afresh
}

std::optional<Message> BanRecordStore::FailureMessage() const {
    if (failed_ == 0) {
        return std::nullopt;
    }
    const std::string command =
        action_ == BanAction::TempKick ? "temp-kick" : std::string(BanActionWord(action_));
    const int total = stored_ + failed_;
    const std::string lost =
        total == 1 ? "its record"
                   : std::to_string(failed_) + " of its " + std::to_string(total) + " records";
    return Message{"The " + command + " went ahead, but the player database did not store " + lost +
                       ":\n" + firstError_,
                   kApplicationTitle, MessageIcon::Warning};
}
