#pragma once

// The statements of what the program keeps about the player database itself:
// the schema's version with the history of its upgrades, the unique key of a
// sighting, and the followers' places. Identifiers are quoted as in
// PlayerSql.h; every value is a bound parameter.
namespace SchemaSql {

inline constexpr char kVersionTable[] = "Quarvel_Schema";

// One row per version the database has been brought to: when, and what the
// step had to say (how many doubled sightings it folded, say). The version
// is the highest row's.
inline constexpr char kSqliteVersionTable[] =
    R"(CREATE TABLE IF NOT EXISTS "Quarvel_Schema" ()"
    R"("Version" INTEGER PRIMARY KEY, "Applied" TEXT NOT NULL, "Note" TEXT NOT NULL))";
inline constexpr char kPostgresVersionTable[] =
    R"(CREATE TABLE IF NOT EXISTS "Quarvel_Schema" ()"
    R"("Version" integer PRIMARY KEY, "Applied" text NOT NULL, "Note" text NOT NULL))";
inline constexpr char kReadVersion[] = R"(SELECT MAX("Version") FROM "Quarvel_Schema")";
inline constexpr char kAddVersion[] =
    R"(INSERT INTO "Quarvel_Schema" ("Version", "Applied", "Note") VALUES (?, ?, ?))";
inline constexpr char kHistory[] =
    R"(SELECT "Version", "Applied", "Note" FROM "Quarvel_Schema" ORDER BY "Version")";

// PostgreSQL: programs upgrading one database at once queue on this lock
// for the rest of their transaction; the second then finds the step done.
// SQLite's BEGIN IMMEDIATE does the same there.
inline constexpr char kPostgresUpgradeLock[] = "SELECT pg_advisory_xact_lock(8170325794763632)";

// The sighting's unique key, in place of the plain index of the same three
// columns: rows two harvests raced into the table twice are folded first,
// the oldest of each kept.
inline constexpr char kFoldDoubledSightings[] =
    R"(DELETE FROM "Players" WHERE EXISTS (SELECT 1 FROM "Players" AS older )"
    R"(WHERE older."Guid_Key" = "Players"."Guid_Key" AND older."IP_Full" = "Players"."IP_Full" )"
    R"(AND older."Player_Name_formated" = "Players"."Player_Name_formated" )"
    R"(AND older."Player_key" < "Players"."Player_key"))";
inline constexpr char kDropSightingIndex[] = R"(DROP INDEX IF EXISTS "Players_Sighting")";
inline constexpr char kSightingKey[] = R"(CREATE UNIQUE INDEX "Players_Sighting" ON "Players" )"
                                       R"(("Guid_Key", "IP_Full", "Player_Name_formated"))";

// Where each follower is in its log (see FollowerPlace). Device and inode
// are kept as the signed 64-bit integers both engines have, bit for bit;
// the hash in hexadecimal.
inline constexpr char kFollowersTable[] = "Quarvel_Followers";
inline constexpr char kSqliteFollowers[] =
    R"(CREATE TABLE "Quarvel_Followers" ("Host" TEXT NOT NULL, "Log_Path" TEXT NOT NULL, )"
    R"("File_Device" INTEGER NOT NULL, "File_Inode" INTEGER NOT NULL, )"
    R"("Head_Length" INTEGER NOT NULL, "Head_Hash" TEXT NOT NULL, )"
    R"("Byte_Offset" INTEGER NOT NULL, "Slots" TEXT NOT NULL, "Stored_At" TEXT NOT NULL, )"
    R"(PRIMARY KEY ("Host", "Log_Path")))";
inline constexpr char kPostgresFollowers[] =
    R"(CREATE TABLE "Quarvel_Followers" ("Host" text NOT NULL, "Log_Path" text NOT NULL, )"
    R"("File_Device" bigint NOT NULL, "File_Inode" bigint NOT NULL, )"
    R"("Head_Length" bigint NOT NULL, "Head_Hash" text NOT NULL, )"
    R"("Byte_Offset" bigint NOT NULL, "Slots" text NOT NULL, "Stored_At" text NOT NULL, )"
    R"(PRIMARY KEY ("Host", "Log_Path")))";
inline constexpr char kStorePlace[] =
    R"(INSERT INTO "Quarvel_Followers" ("Host", "Log_Path", "File_Device", "File_Inode", )"
    R"("Head_Length", "Head_Hash", "Byte_Offset", "Slots", "Stored_At") )"
    R"(VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT ("Host", "Log_Path") DO UPDATE SET )"
    R"("File_Device" = excluded."File_Device", "File_Inode" = excluded."File_Inode", )"
    R"("Head_Length" = excluded."Head_Length", "Head_Hash" = excluded."Head_Hash", )"
    R"("Byte_Offset" = excluded."Byte_Offset", "Slots" = excluded."Slots", )"
    R"("Stored_At" = excluded."Stored_At")";
inline constexpr char kPlaceColumns[] =
    R"(SELECT "Host", "Log_Path", "File_Device", "File_Inode", "Head_Length", "Head_Hash", )"
    R"("Byte_Offset", "Slots", "Stored_At" FROM "Quarvel_Followers" )";
inline constexpr char kPlaceOfKey[] = R"(WHERE "Host" = ? AND "Log_Path" = ?)";
inline constexpr char kPlaceOrder[] = R"(ORDER BY "Host", "Log_Path")";

} // namespace SchemaSql
