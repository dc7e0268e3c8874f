#include "PlayerFindSql.h"

#include "DatabaseText.h"

#include <QStringList>
#include <algorithm>
#include <string>

namespace {

using Engine = DatabaseTarget::Engine;

// PostgreSQL compares these columns by bytes only when told; its indexes for
// the finds are made the same way (BanRecordSql.h).
QString Bytewise(const char* column, Engine engine) {
    QString text = QString::fromLatin1(column);
    if (engine == Engine::Postgres) {
        text += QStringLiteral(" COLLATE \"C\"");
    }
    return text;
}

// The first text after every text that starts with `prefix`, in byte order:
// the prefix with its last character raised by one. Prefixes here are digits,
// letters and dots, so the raised character is still plain ASCII.
QString PrefixEnd(QString prefix) {
    prefix.back() = QChar(prefix.back().unicode() + 1);
    return prefix;
}

QString Digits(int value) {
    return QString::number(value);
}

// The text of octet values [low, high] that are written with `digits`
// digits, as a range of texts of that length: texts of one length compare as
// their numbers do. An empty range when none are.
void AddOctetBucket(int digits, int low, int high, QStringList& terms, QVariantList& values,
                    const QString& column) {
    static constexpr int kFirst[] = {0, 0, 10, 100};
    static constexpr int kLast[] = {0, 9, 99, 255};
    const int from = std::max(low, kFirst[digits]);
    const int to = std::min(high, kLast[digits]);
    terms << QStringLiteral("(length(%1) = %2 AND %1 >= ? AND %1 <= ?)").arg(column).arg(digits);
    if (from <= to) {
        values << Digits(from) << Digits(to);
    } else {
        values << QStringLiteral("1") << QStringLiteral("0"); // nothing is both
    }
}

QString AddressCondition(const AddressPattern& pattern, Engine engine, QVariantList& values) {
    const QString ip = Bytewise(R"("IP_Full")", engine);
    QStringList conditions;
    const QString text = QString::fromStdString(pattern.text);
    if (pattern.exact) {
        conditions << ip + QStringLiteral(" = ?");
        values << text;
    } else if (!text.isEmpty()) {
        conditions << ip + QStringLiteral(" >= ? AND ") + ip + QStringLiteral(" < ?");
        values << text << PrefixEnd(text);
    } else {
        conditions << QStringLiteral(R"("IP_Full" IS NOT NULL)");
    }
    if (pattern.partialOctet >= 0) {
        // The harvest keeps each octet of an address in a column of its own.
        static constexpr const char* kParts[] = {R"("IP_part1")", R"("IP_part2")", R"("IP_part3")",
                                                 R"("IP_part4")"};
        const QString part = Bytewise(kParts[pattern.partialOctet], engine);
        QStringList buckets;
        for (int digits = 1; digits <= 3; ++digits) {
            AddOctetBucket(digits, pattern.low, pattern.high, buckets, values, part);
        }
        conditions << QLatin1Char('(') + buckets.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    return conditions.join(QStringLiteral(" AND "));
}

// The keys of the GUIDs the search matches, as a subquery.
QString MatchedKeys(const PlayerSearch& search, Engine engine, QVariantList& values) {
    switch (search.mode) {
    case PlayerSearchMode::Name: {
        const NameCondition condition = NameMatchCondition(search.name, engine);
        values << condition.value;
        return QStringLiteral(R"(SELECT "Guid_Key" FROM "Players" WHERE )") + condition.sql;
    }
    case PlayerSearchMode::Address:
        return QStringLiteral(R"(SELECT "Guid_Key" FROM "Players" WHERE )") +
               AddressCondition(search.address, engine, values);
    case PlayerSearchMode::Guid:
        break;
    }
    // GUIDs are stored as logs write them, in upper case; one typed into
    // quarvelctl may be in lower case. Both are ranges of the index.
    const QString guid = Bytewise(R"("GUID")", engine);
    const QString upper = QString::fromStdString(search.guidPrefix);
    const QString lower = upper.toLower();
    values << upper << PrefixEnd(upper) << lower << PrefixEnd(lower);
    return QStringLiteral(R"(SELECT "Guid_Key" FROM "GUID" WHERE (%1 >= ? AND %1 < ?) )"
                          R"(OR (%1 >= ? AND %1 < ?))")
        .arg(guid);
}

bool HasCases(QChar c) {
    return c.toLower() != c.toUpper();
}

} // namespace

NameCondition NameMatchCondition(std::string_view name, DatabaseTarget::Engine engine,
                                 const char* column) {
    const QString named = QString::fromLatin1(column);
    const QString text = LogBytesToDatabaseText(name);
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        QString pattern = QStringLiteral("%");
        for (const QChar c : text) {
            if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) {
                pattern += QLatin1Char('\\');
            }
            pattern += c;
        }
        pattern += QLatin1Char('%');
        return {named + (engine == Engine::Postgres ? QStringLiteral(R"( ILIKE ? ESCAPE '\')")
                                                    : QStringLiteral(R"( LIKE ? ESCAPE '\')")),
                pattern};
    }
    QString pattern;
    if (engine == Engine::Sqlite) {
        pattern += QLatin1Char('*');
    }
    for (const QChar c : text) {
        if (HasCases(c)) {
            pattern += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else if (engine == Engine::Sqlite) {
            // GLOB's wildcards stand for themselves inside a class.
            const bool wildcard =
                c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('[');
            pattern += wildcard ? QLatin1Char('[') + c + QLatin1Char(']') : QString(c);
        } else {
            // A backslash makes any ASCII character that is no letter or
            // digit stand for itself; other characters are never special.
            const bool plainAscii = c.unicode() < 0x80 && !c.isLetterOrNumber();
            if (plainAscii) {
                pattern += QLatin1Char('\\');
            }
            pattern += c;
        }
    }
    if (engine == Engine::Sqlite) {
        pattern += QLatin1Char('*');
    }
    return {named +
                (engine == Engine::Postgres ? QStringLiteral(" ~ ?") : QStringLiteral(" GLOB ?")),
            pattern};
}

BoundStatement FindPlayersStatement(const PlayerSearch& search, DatabaseTarget::Engine engine,
                                    long long guidLimit) {
    BoundStatement statement;
    const QString matched = MatchedKeys(search, engine, statement.values);
    statement.values << static_cast<qlonglong>(guidLimit);
    statement.sql =
        QStringLiteral(
            R"(WITH "Page" AS ()"
            R"(SELECT p."Guid_Key" AS "Key", g."GUID" AS "Guid", MAX(p."Rec_Created") AS "Last" )"
            R"(FROM "Players" p JOIN "GUID" g ON g."Guid_Key" = p."Guid_Key" )"
            R"(WHERE p."Guid_Key" IN (%1) )"
            R"(GROUP BY p."Guid_Key", g."GUID" )"
            R"(ORDER BY "Last" DESC, %2 LIMIT ?) )"
            R"(SELECT "Page"."Key", "Page"."Guid", r."Player_key", r."IP_Full", )"
            R"(r."Player_Name_formated", r."Player_Name", r."Rec_Created" )"
            R"(FROM "Page" JOIN "Players" r ON r."Guid_Key" = "Page"."Key")")
            .arg(matched, Bytewise(R"(g."GUID")", engine));
    return statement;
}
