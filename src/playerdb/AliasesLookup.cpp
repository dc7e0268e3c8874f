#include "AliasesLookup.h"

#include "PlayerDatabase.h"

#include <algorithm>
#include <new>

namespace {

Message NotFound(const char* text) {
    return Message{text, kAliasesCaption, MessageIcon::None};
}

Message Failure(std::string text) {
    return Message{std::move(text), kApplicationTitle, MessageIcon::None};
}

AliasesLookup LookUpOpen(AliasSource& database, std::string_view guid) {
    AliasesLookup result;
    const std::optional<std::int32_t> key = guid.empty() ? std::nullopt : database.FindGuid(guid);
    if (!key) {
        result.message = NotFound(kGuidNotFoundText);
        return result;
    }
    result.names = database.FormattedNames(*key);
    if (result.names.empty()) {
        result.message = NotFound(kGuidKeyNotFoundText);
        return result;
    }
    // The engine removed duplicates already; sorting here gives every face
    // the same order whatever order the engine returned.
    std::sort(result.names.begin(), result.names.end());
    result.names.erase(std::unique(result.names.begin(), result.names.end()), result.names.end());
    return result;
}

void CloseQuietly(AliasSource& database) {
    try {
        database.Close();
    } catch (...) {
        // The failure that brought us here is the one to report.
    }
}

} // namespace

AliasesLookup LookUpAliases(AliasSource& database, std::string_view guid) {
    try {
        database.Open();
        AliasesLookup result = LookUpOpen(database, guid);
        database.Close();
        return result;
    } catch (const DatabaseError& error) {
        CloseQuietly(database);
        return AliasesLookup{{}, Failure(error.what())};
    } catch (const std::bad_alloc&) {
        CloseQuietly(database);
        return AliasesLookup{{}, Failure(kOtherErrorText)};
    }
}
