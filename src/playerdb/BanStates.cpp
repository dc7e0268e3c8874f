#include "BanStates.h"

#include "BanRecordSchema.h"
#include "BanRecordStore.h"
#include "BanStatePlan.h"
#include "BanStateSql.h"
#include "PlayerDatabase.h"
#include "PlayerFindSql.h"
#include "PlayerSql.h"
#include "SchemaUpgrade.h"
#include "Windows1252.h"

#include <QStringList>
#include <QVariant>
#include <limits>

namespace {

using Engine = DatabaseTarget::Engine;

QString StateText(const std::string& text) {
    return QString::fromStdString(text);
}

QVariant NullableEpoch(const std::optional<std::int64_t>& epoch) {
    return epoch ? QVariant(static_cast<qlonglong>(*epoch))
                 : QVariant(QMetaType::fromType<qlonglong>());
}

QVariant NullableText(const std::string& text, bool present) {
    return present ? QVariant(StateText(text)) : QVariant(QMetaType::fromType<QString>());
}

std::optional<std::int64_t> EpochValue(const QVariant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    return value.toLongLong();
}

std::optional<BanEnd> EndValue(const QVariant& value) {
    const QString word = value.toString();
    for (const BanEnd end : {BanEnd::Lifted, BanEnd::Replaced, BanEnd::Expired}) {
        if (word == QLatin1String(BanEndWord(end))) {
            return end;
        }
    }
    return std::nullopt;
}

// A row of BanStateSql::kColumns.
BanState ReadState(const QSqlQuery& query) {
    const auto text = [&query](int column) { return query.value(column).toString().toStdString(); };
    BanState state;
    state.key = query.value(0).toLongLong();
    state.guid = text(1);
    state.kind =
        text(2) == BanKindWord(BanKind::Temporary) ? BanKind::Temporary : BanKind::Permanent;
    state.start = query.value(3).toLongLong();
    state.startTime = text(4);
    state.expiry = EpochValue(query.value(5));
    state.expiryTime = text(6);
    state.name = text(7);
    state.reason = text(8);
    state.issuedBy = text(9);
    state.ended = EpochValue(query.value(10));
    state.endedTime = text(11);
    state.endCause = EndValue(query.value(12));
    state.liftedBy = text(13);
    state.liftReason = text(14);
    return state;
}

std::vector<BanState> ReadStates(QSqlQuery& query) {
    std::vector<BanState> states;
    while (query.next()) {
        states.push_back(ReadState(query));
    }
    query.finish();
    return states;
}

// Large enough to be no limit, small enough for every engine's LIMIT.
constexpr long long kNoStateLimit = std::numeric_limits<std::int32_t>::max();

} // namespace

BanStates::BanStates(std::string location, std::string admin, BanClock clock)
    : location_(std::move(location)), admin_(std::move(admin)), clock_(std::move(clock)) {}

BanStates::~BanStates() {
    Close();
}

void BanStates::Open() {
    if (connection_.isOpen()) {
        return;
    }
    std::string error;
    const auto target = ParseDatabaseTarget(location_, error);
    if (!target) {
        throw DatabaseError(error, DatabaseError::Fault::Permanent);
    }
    connection_.Open(*target);
}

void BanStates::Close() {
    active_.reset(); // Qt wants a connection's queries gone before it
    hasTable_ = false;
    upgraded_ = false;
    connection_.Close();
}

bool BanStates::HasTable() {
    // Looked for until found: another program may upgrade the database
    // while this one keeps its connection.
    if (!hasTable_) {
        hasTable_ = DatabaseObjectExists(connection_, BanStateSql::kTable);
    }
    return hasTable_;
}

void BanStates::OpenForChanges() {
    Open();
    if (!upgraded_) {
        UpgradePlayerSchema(connection_);
        upgraded_ = true;
        hasTable_ = true;
    }
}

std::optional<BanState> BanStates::Active(std::string_view guid) {
    const auto upper = StateGuid(guid);
    if (!upper) {
        return std::nullopt;
    }
    try {
        Open();
        if (!HasTable()) {
            return std::nullopt;
        }
        if (!active_) {
            active_ = connection_.Prepare(QString::fromLatin1(BanStateSql::kColumns) +
                                          QString::fromLatin1(BanStateSql::kActiveOfGuid));
        }
        active_->bindValue(0, StateText(*upper));
        active_->bindValue(1, static_cast<qlonglong>(Now()));
        connection_.Execute(*active_);
        std::optional<BanState> state;
        if (active_->next()) {
            state = ReadState(*active_);
        }
        active_->finish(); // an SQLite statement left running would hold its read lock
        return state;
    } catch (const DatabaseError& error) {
        if (error.fault() == DatabaseError::Fault::Unreachable) {
            Close();
        }
        throw;
    }
}

BanChange BanStates::Ban(const BanRequest& request) {
    return Change({BanAsk::Ban, request, 0, {}, admin_});
}

BanChange BanStates::TempBan(const BanRequest& request, long long minutes) {
    return Change({BanAsk::TempBan, request, minutes, {}, admin_});
}

BanChange BanStates::Lift(std::string_view guid, std::string_view why) {
    return Change({BanAsk::Lift, {std::string(guid), {}, {}, {}}, 0, std::string(why), admin_});
}

BanChange BanStates::Extend(std::string_view guid, long long minutes, std::string_view why) {
    return Change(
        {BanAsk::Extend, {std::string(guid), {}, {}, {}}, minutes, std::string(why), admin_});
}

BanChange BanStates::Change(const BanAskDetails& ask) {
    if (!StateGuid(ask.request.guid)) {
        BanChange refused;
        refused.text = "Not kept: the GUID must be exactly 32 hexadecimal digits.";
        return refused;
    }
    for (int attempt = 1;; ++attempt) {
        try {
            return ChangeOnce(ask);
        } catch (const DatabaseError& error) {
            if (error.fault() == DatabaseError::Fault::Unreachable) {
                Close(); // the next call connects again
            }
            if (error.fault() != DatabaseError::Fault::Conflict ||
                attempt == ConflictBackoff::kAttempts) {
                throw;
            }
        }
        backoff_.Wait(attempt);
    }
}

BanChange BanStates::ChangeOnce(const BanAskDetails& ask) {
    OpenForChanges();
    const std::string guid = *StateGuid(ask.request.guid);
    connection_.BeginTransaction(); // SQLite: the write lock, held to the end
    try {
        if (connection_.engine() == Engine::Postgres) {
            QSqlQuery lock =
                connection_.Prepare(QString::fromLatin1(BanStateSql::kPostgresGuidLock));
            lock.bindValue(0, StateText(guid));
            connection_.Execute(lock);
        }
        // Read after the lock: the decision sees what a change that went
        // first committed.
        const BanTime now = clock_();
        const std::optional<BanState> open = ReadOpen(guid);
        BanPlan plan = PlanBanChange(ask, guid, open, now);
        if (plan.endOpen) {
            End(*open, *plan.endOpen, plan.endAt, plan.endAtText, ask.why);
        }
        if (plan.insert) {
            AddGuidIfUnknown(guid);
            plan.change.state->key = Insert(*plan.insert);
        }
        if (plan.record) {
            InsertBanRecord(connection_, *plan.record, now);
        }
        connection_.CommitTransaction();
        return std::move(plan.change);
    } catch (...) {
        connection_.RollbackTransaction();
        throw;
    }
}

std::optional<BanState> BanStates::ReadOpen(const std::string& guid) {
    QSqlQuery query = connection_.Prepare(QString::fromLatin1(BanStateSql::kColumns) +
                                          QString::fromLatin1(BanStateSql::kOpenOfGuid));
    query.bindValue(0, StateText(guid));
    connection_.Execute(query);
    std::optional<BanState> state;
    if (query.next()) {
        state = ReadState(query);
    }
    query.finish();
    return state;
}

void BanStates::AddGuidIfUnknown(const std::string& guid) {
    QSqlQuery known = connection_.Prepare(QString::fromLatin1(BanStateSql::kGuidKnown));
    known.bindValue(0, StateText(guid));
    known.bindValue(1, StateText(guid).toLower());
    connection_.Execute(known);
    const bool found = known.next() && known.value(0).toLongLong() > 0;
    known.finish();
    if (!found) {
        QSqlQuery add = connection_.Prepare(QString::fromLatin1(PlayerSql::kAddGuid));
        add.bindValue(0, StateText(guid));
        connection_.Execute(add);
        add.finish();
    }
}

std::int64_t BanStates::Insert(const BanState& state) {
    QSqlQuery query = connection_.Prepare(QString::fromLatin1(BanStateSql::kInsert));
    query.bindValue(0, StateText(state.guid));
    query.bindValue(1, QString::fromLatin1(BanKindWord(state.kind)));
    query.bindValue(2, static_cast<qlonglong>(state.start));
    query.bindValue(3, StateText(state.startTime));
    query.bindValue(4, NullableEpoch(state.expiry));
    query.bindValue(5, NullableText(state.expiryTime, state.expiry.has_value()));
    query.bindValue(6, StateText(state.name));
    query.bindValue(7, StateText(state.reason));
    query.bindValue(8, StateText(state.issuedBy));
    connection_.Execute(query);
    if (!query.next()) {
        throw DatabaseError("The database stored the ban state but gave back no key for it.");
    }
    const std::int64_t key = query.value(0).toLongLong();
    query.finish();
    return key;
}

void BanStates::End(const BanState& state, BanEnd cause, std::int64_t at, const std::string& atText,
                    const std::string& why) {
    const bool lifted = cause == BanEnd::Lifted;
    QSqlQuery query = connection_.Prepare(QString::fromLatin1(BanStateSql::kEnd));
    query.bindValue(0, static_cast<qlonglong>(at));
    query.bindValue(1, StateText(atText));
    query.bindValue(2, QString::fromLatin1(BanEndWord(cause)));
    query.bindValue(3, NullableText(admin_, lifted));
    query.bindValue(4, NullableText(why, lifted));
    query.bindValue(5, static_cast<qlonglong>(state.key));
    connection_.Execute(query);
    const int ended = query.numRowsAffected();
    query.finish();
    if (ended != 1) {
        // The lock makes this impossible; a conflict says so and the change
        // is taken again from the start.
        throw DatabaseError("Another program changed the ban state meanwhile.",
                            DatabaseError::Fault::Conflict);
    }
}

std::vector<BanState> BanStates::List(const BanStateFilter& filter) {
    try {
        Open();
        if (!HasTable()) {
            return {};
        }
        QStringList conditions;
        QVariantList values;
        if (filter.activeOnly) {
            conditions << QString::fromLatin1(BanStateSql::kListActive);
            values << static_cast<qlonglong>(Now());
        }
        if (!filter.guid.empty()) {
            const auto upper = StateGuid(filter.guid);
            if (!upper) {
                return {}; // no state is of a GUID that is no GUID
            }
            conditions << QString::fromLatin1(BanStateSql::kListGuid);
            values << StateText(*upper);
        }
        if (!filter.admin.empty()) {
            conditions << QString::fromLatin1(BanStateSql::kListAdmin);
            values << StateText(filter.admin) << StateText(filter.admin);
        }
        if (!filter.name.empty()) {
            const std::string name = Utf8ToWindows1252(filter.name);
            const NameCondition seen = NameMatchCondition(name, connection_.engine());
            const NameCondition given =
                NameMatchCondition(name, connection_.engine(), R"("Player_Name")");
            conditions << QString::fromLatin1(BanStateSql::kListNameSeen).arg(seen.sql, given.sql);
            values << seen.value << given.value;
        }
        QString sql = QString::fromLatin1(BanStateSql::kColumns);
        if (!conditions.isEmpty()) {
            sql += QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND "));
        }
        sql += QString::fromLatin1(BanStateSql::kListOrder);
        values << static_cast<qlonglong>(filter.limit < 0 ? kNoStateLimit : filter.limit);
        QSqlQuery query = connection_.Prepare(sql);
        for (int i = 0; i < values.size(); ++i) {
            query.bindValue(i, values[i]);
        }
        connection_.Execute(query);
        return ReadStates(query);
    } catch (const DatabaseError& error) {
        if (error.fault() == DatabaseError::Fault::Unreachable) {
            Close();
        }
        throw;
    }
}

std::vector<BanState> BanStates::History(std::string_view guid) {
    BanStateFilter filter;
    filter.guid = std::string(guid);
    if (!StateGuid(guid)) {
        return {};
    }
    return List(filter);
}
