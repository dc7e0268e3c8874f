// quarvelctl find: the Find player window's search, as JSON Lines, one
// object a matching GUID, newest last sighting first, then by GUID.
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "Json.h"
#include "PlayerSearch.h"
#include "SqlPlayerLookup.h"
#include "Windows1252.h"

#include <cstdio>
#include <limits>

namespace {

constexpr char kFindUsage[] =
    "usage: quarvelctl find [--config FILE] (--name TEXT | --ip PATTERN | "
    "--guid PREFIX) [--limit N]";

void AppendStrings(std::string& out, const std::vector<std::string>& texts) {
    out += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += i == 0 ? "" : ", ";
        AppendJsonString(out, texts[i]);
    }
    out += ']';
}

std::string PlayerLine(const FoundPlayer& player) {
    std::string out = "{\"guid\": ";
    AppendJsonString(out, player.guid);
    out += ", \"names\": ";
    AppendStrings(out, player.names);
    out += ", \"ips\": ";
    AppendStrings(out, player.addresses);
    out += ", \"sightings\": " + std::to_string(player.sightings) + ", \"firstSeen\": ";
    AppendJsonString(out, player.firstSeen);
    out += ", \"lastSeen\": ";
    AppendJsonString(out, player.lastSeen);
    out += "}\n";
    return out;
}

// The one search the options ask for; nothing when there is none or more.
std::optional<std::pair<PlayerSearchMode, std::string>> SearchOption(const Arguments& args) {
    std::optional<std::pair<PlayerSearchMode, std::string>> chosen;
    int given = 0;
    for (const auto& [option, mode] :
         {std::pair{"name", PlayerSearchMode::Name}, std::pair{"ip", PlayerSearchMode::Address},
          std::pair{"guid", PlayerSearchMode::Guid}}) {
        if (const auto value = args.Value(option)) {
            ++given;
            chosen.emplace(mode, *value);
        }
    }
    return given == 1 ? chosen : std::nullopt;
}

} // namespace

int RunFind(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "find", error);
    const auto option = args ? SearchOption(*args) : std::nullopt;
    if (!args || !args->positional().empty() || !option) {
        PrintError(args ? kFindUsage : error);
        return 2;
    }
    const auto limit = args->Integer("limit", -1, error);
    if (!limit || (args->Value("limit") && (*limit < 1 || *limit > kMaxFindLimit))) {
        PrintError(error.empty() ? "--limit needs a number of players from 1 to " +
                                       std::to_string(kMaxFindLimit)
                                 : error);
        return 2;
    }
    // The command line is UTF-8; the search takes the log's bytes.
    const PlayerSearchParse parse =
        ParsePlayerSearch(option->first, Utf8ToWindows1252(option->second));
    if (!parse.search) {
        PrintError(parse.error);
        return 2;
    }
    const auto location = LoadDatabaseLocationForCommand(*args);
    if (!location) {
        return 1;
    }
    PlayerFindResult result;
    try {
        SqlPlayerLookup lookup(*location);
        lookup.Open();
        result = lookup.FindPlayers(*parse.search, static_cast<int>(*limit));
        lookup.Close();
    } catch (const DatabaseError& failure) {
        PrintError(failure.what());
        return 1;
    }
    if (result.players.empty()) {
        std::fputs("No player found\n", stderr);
        return 1;
    }
    for (const FoundPlayer& player : result.players) {
        const std::string line = PlayerLine(player);
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    if (result.cut) {
        PrintError("more players match; the first " + std::to_string(*limit) + " are shown");
    }
    return 0;
}
