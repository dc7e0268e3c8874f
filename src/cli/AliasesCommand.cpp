#include "AliasesLookup.h"
#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "SqlPlayerDatabase.h"
#include "TextEscapes.h"
#include "Windows1252.h"

#include <cstdio>

// quarvelctl aliases [--config FILE] GUID: the names the player database
// holds for a GUID, one per line in byte order, as the Player Info window's
// aliases button would list them, escaped as JSON escapes a string's
// characters. The lookup's messages go to stderr.
int RunAliases(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "aliases", error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? "aliases takes one GUID" : error);
        return 2;
    }
    const auto location = LoadDatabaseLocationForCommand(*args);
    if (!location) {
        return 1;
    }
    SqlPlayerDatabase database(*location);
    const AliasesLookup lookup =
        LookUpAliases(database, Utf8ToWindows1252(args->positional().front()));
    if (lookup.message) {
        std::fprintf(stderr, "%s\n", TerminalText(lookup.message->text).c_str());
        return 1;
    }
    // A name a line: its control characters and backslashes escaped, so
    // that a name can neither command the terminal nor span two lines.
    std::string out;
    for (const std::string& name : lookup.names) {
        AppendEscaped(out, name, Escapes::Line);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
