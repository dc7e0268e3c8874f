#include "FollowerPlaces.h"

#include "BanRecordSchema.h"
#include "FileMapping.h"
#include "SchemaSql.h"
#include "SqlConnection.h"

#include <QDateTime>
#include <QVariant>
#include <charconv>

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string Hex(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text += kHexDigits[value >> 4];
        text += kHexDigits[value & 0xF];
    }
    return text;
}

std::optional<std::string> Unhex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const auto [end, status] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (status != std::errc() || end != text.data() + i + 2) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

template <typename Number> std::optional<Number> ReadNumber(std::string_view text, int base = 10) {
    Number value{};
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (status != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The next part of `text` up to `separator`, taken off `text`.
std::string_view TakePart(std::string_view& text, char separator) {
    const std::size_t at = text.find(separator);
    const std::string_view part = text.substr(0, at);
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
    return part;
}

StoredPlace PlaceOfRow(const QSqlQuery& query) {
    StoredPlace stored;
    FollowerPlace& place = stored.place;
    place.key.host = query.value(0).toString().toStdString();
    place.key.logPath = query.value(1).toString().toStdString();
    // Kept bit for bit in signed columns.
    place.file.device = static_cast<std::uint64_t>(query.value(2).toLongLong());
    place.file.inode = static_cast<std::uint64_t>(query.value(3).toLongLong());
    place.headLength = static_cast<std::uint64_t>(query.value(4).toLongLong());
    const auto hash = ReadNumber<std::uint64_t>(query.value(5).toString().toStdString(), 16);
    place.headHash = hash.value_or(0);
    place.offset = query.value(6).toLongLong();
    const auto filled = DecodeSlots(query.value(7).toString().toStdString());
    stored.slotsReadable = filled.has_value() && hash.has_value();
    if (filled) {
        place.harvestSlots = *filled;
    }
    stored.storedAt = query.value(8).toString().toStdString();
    return stored;
}

std::vector<StoredPlace> ReadPlaces(SqlConnection& connection, const FollowerKey* key) {
    std::vector<StoredPlace> places;
    if (!DatabaseObjectExists(connection, SchemaSql::kFollowersTable)) {
        return places;
    }
    QSqlQuery query = connection.Prepare(
        QString::fromLatin1(SchemaSql::kPlaceColumns) +
        QString::fromLatin1(key != nullptr ? SchemaSql::kPlaceOfKey : SchemaSql::kPlaceOrder));
    if (key != nullptr) {
        query.bindValue(0, QString::fromStdString(key->host));
        query.bindValue(1, QString::fromStdString(key->logPath));
    }
    connection.Execute(query);
    while (query.next()) {
        places.push_back(PlaceOfRow(query));
    }
    query.finish();
    return places;
}

} // namespace

std::string EncodeSlots(const HarvestSlots& filled) {
    std::string text;
    for (std::size_t slot = 0; slot < filled.size(); ++slot) {
        if (!filled[slot].connected) {
            continue;
        }
        if (!text.empty()) {
            text += ';';
        }
        text += std::to_string(slot) + ' ' + std::to_string(filled[slot].guidKey) + ' ' +
                Hex(filled[slot].address.view());
    }
    return text;
}

std::optional<HarvestSlots> DecodeSlots(std::string_view text) {
    HarvestSlots filled{};
    while (!text.empty()) {
        std::string_view entry = TakePart(text, ';');
        const auto slot = ReadNumber<std::size_t>(TakePart(entry, ' '));
        const auto key = ReadNumber<std::int32_t>(TakePart(entry, ' '));
        const auto address = Unhex(entry);
        if (!slot || *slot >= filled.size() || !key || !address ||
            address->size() > kAddressTextLimit) {
            return std::nullopt;
        }
        filled[*slot].guidKey = *key;
        filled[*slot].address.Assign(*address);
        filled[*slot].connected = true;
    }
    return filled;
}

void BindPlace(QSqlQuery& query, const FollowerPlace& place) {
    char hash[17] = {};
    std::to_chars(hash, hash + 16, place.headHash, 16);
    query.bindValue(0, QString::fromStdString(place.key.host));
    query.bindValue(1, QString::fromStdString(place.key.logPath));
    query.bindValue(2, static_cast<qlonglong>(place.file.device));
    query.bindValue(3, static_cast<qlonglong>(place.file.inode));
    query.bindValue(4, static_cast<qlonglong>(place.headLength));
    query.bindValue(5, QString::fromLatin1(hash));
    query.bindValue(6, static_cast<qlonglong>(place.offset));
    query.bindValue(7, QString::fromStdString(EncodeSlots(place.harvestSlots)));
    query.bindValue(8, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
}

std::optional<StoredPlace> ReadFollowerPlace(SqlConnection& connection, const FollowerKey& key) {
    std::vector<StoredPlace> places = ReadPlaces(connection, &key);
    if (places.empty()) {
        return std::nullopt;
    }
    return std::move(places.front());
}

std::vector<StoredPlace> ReadFollowerPlaces(SqlConnection& connection) {
    return ReadPlaces(connection, nullptr);
}

std::int64_t StoredOffsetInFile(const std::string& location, const FollowerKey& key,
                                const std::string& path) {
    std::optional<StoredPlace> stored;
    try {
        std::string error;
        const auto target = ParseDatabaseTarget(location, error);
        if (!target) {
            return 0;
        }
        SqlConnection connection;
        connection.Open(*target);
        stored = ReadFollowerPlace(connection, key);
    } catch (const DatabaseError&) {
        return 0;
    }
    if (!stored || !stored->slotsReadable) {
        return 0;
    }
    FileMapping file;
    if (file.Open(path) != LoadStatus::Loaded) {
        return 0;
    }
    const bool fits = PlaceFits(stored->place, file.identity(), file.size(),
                                [&file](std::size_t length) { return file.HeadHash(length); });
    return fits ? stored->place.offset : 0;
}
