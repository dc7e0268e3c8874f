#pragma once

#include "DatabaseTarget.h"
#include "PlayerSearch.h"

#include <QString>
#include <QVariantList>
#include <string_view>

// A statement and the values bound to its placeholders, in order.
struct BoundStatement {
    QString sql;
    QVariantList values;
};

// The find: every Players row of the first `guidLimit` matching GUIDs (in the
// order newest last sighting first, then GUID in byte order), each row as
// Guid_Key, GUID, Player_key, IP_Full, Player_Name_formated, Player_Name,
// Rec_Created. One round trip whatever the number of GUIDs. Text from the
// user only ever reaches the engine as a bound value.
BoundStatement FindPlayersStatement(const PlayerSearch& search, DatabaseTarget::Engine engine,
                                    long long guidLimit);

// The pattern a colour-free name must match to contain `name` (log bytes),
// letters compared without regard to case: an SQLite GLOB pattern or a
// PostgreSQL regular expression in which every letter is a class of its two
// cases and every other character stands for itself. Both engines thus
// compare alike whatever their locale, and no character of the name acts as
// a wildcard.
QString NameMatchPattern(std::string_view name, DatabaseTarget::Engine engine);
