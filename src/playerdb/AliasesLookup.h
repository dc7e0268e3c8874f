#pragma once

#include "Messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the aliases lookup asks of the player database. SqlPlayerDatabase is
// the real one; tests put in their own to reach failures no engine gives
// on demand.
class AliasSource {
public:
    virtual ~AliasSource() = default;

    virtual void Open() = 0;
    virtual void Close() = 0;
    // The Guid_Key of a GUID given as log bytes.
    virtual std::optional<std::int32_t> FindGuid(std::string_view guid) = 0;
    // The distinct colour-free names stored for a key, as UTF-8, in the
    // engine's order.
    virtual std::vector<std::string> FormattedNames(std::int32_t guidKey) = 0;
};

struct AliasesLookup {
    // Every colour-free name the database holds for the GUID, each once, as
    // UTF-8, sorted by bytes. Empty when a message is to be shown instead.
    std::vector<std::string> names;
    // What to tell the user instead of showing the names.
    std::optional<Message> message;
};

inline constexpr char kGuidNotFoundText[] = "GUID not found in the database";
inline constexpr char kGuidKeyNotFoundText[] = "Guid_Key not found in the database";
inline constexpr char kAliasesCaption[] = "Aliases";
inline constexpr char kOtherErrorText[] = "Other error";

// Opens the database, finds the GUID's key and the names stored under it, and
// closes the database again, whatever happens. An empty GUID is never
// found. Engine errors come back as their description under the application
// title, running out of memory as "Other error"; nothing is thrown.
AliasesLookup LookUpAliases(AliasSource& database, std::string_view guid);
