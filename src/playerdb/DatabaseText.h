#pragma once

#include <QString>
#include <string_view>

// Log bytes as the text a database column holds: decoded as Windows-1252.
// Text ends at a zero byte, as it always did in the program's zero-terminated
// buffers; PostgreSQL cannot store that byte at all, and SQLite would keep
// it, so cutting it here makes both engines store and find the same value.
QString LogBytesToDatabaseText(std::string_view bytes);
