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

// The condition a colour-free name meets when it contains `name` (log
// bytes), letters compared without regard to case, with the one value it
// binds. No character of the name ever acts as a wildcard.
//
// A name of ASCII characters is a LIKE (SQLite) or ILIKE (PostgreSQL)
// pattern with %, _ and the backslash escaped: both engines fold ASCII
// letters whatever their locale, and these are their fastest scans (and
// PostgreSQL's trigram index serves them). A name with other characters is
// an SQLite GLOB pattern or a PostgreSQL regular expression in which every
// letter is a class of its two cases and every other character stands for
// itself, so that a capital O with diaeresis finds the small one on both
// engines whatever their locale.
struct NameCondition {
    QString sql;
    QString value;
};
// `column` is the name column the condition is on.
NameCondition NameMatchCondition(std::string_view name, DatabaseTarget::Engine engine,
                                 const char* column = R"("Player_Name_formated")");
