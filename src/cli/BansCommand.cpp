// quarvelctl tempban and bans: a temp-ban kept in the ban state (and the
// player temp-kicked from the servers he is on now), and the states listed,
// as text or JSON Lines (bans sync is BansSyncCommand).
#include "Arguments.h"
#include "BanStateChange.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "Json.h"
#include "TempBanKicks.h"
#include "TextEscapes.h"
#include "Windows1252.h"

#include <cstdio>

namespace {

void AppendTextOrNull(std::string& out, const std::string& text, bool present) {
    if (present) {
        AppendJsonString(out, text);
    } else {
        out += "null";
    }
}

void AppendEpochOrNull(std::string& out, const std::optional<std::int64_t>& epoch) {
    out += epoch ? std::to_string(*epoch) : std::string("null");
}

std::string StateJson(const BanState& state, std::int64_t now) {
    std::string out = "{\"guid\": ";
    AppendJsonString(out, state.guid);
    out += ", \"kind\": ";
    AppendJsonString(out, BanKindWord(state.kind));
    out += ", \"status\": ";
    AppendJsonString(out, BanStatusWord(state.StatusAt(now)));
    out += ", \"name\": ";
    AppendJsonString(out, state.name);
    out += ", \"reason\": ";
    AppendJsonString(out, state.reason);
    out += ", \"issuedBy\": ";
    AppendJsonString(out, state.issuedBy);
    out += ", \"start\": ";
    AppendJsonString(out, state.startTime);
    out += ", \"startEpoch\": " + std::to_string(state.start) + ", \"expiry\": ";
    AppendTextOrNull(out, state.expiryTime, state.expiry.has_value());
    out += ", \"expiryEpoch\": ";
    AppendEpochOrNull(out, state.expiry);
    out += ", \"ended\": ";
    AppendTextOrNull(out, state.endedTime, state.ended.has_value());
    out += ", \"endedEpoch\": ";
    AppendEpochOrNull(out, state.ended);
    const bool lifted = state.endCause == BanEnd::Lifted;
    out += ", \"liftedBy\": ";
    AppendTextOrNull(out, state.liftedBy, lifted);
    out += ", \"liftReason\": ";
    AppendTextOrNull(out, state.liftReason, lifted);
    out += "}\n";
    return out;
}

} // namespace

int RunTempBan(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "tempban", error);
    const char* usage = "usage: quarvelctl tempban [--config FILE] --guid G --minutes N --reason "
                        "TEXT [--name N]";
    if (!args || !args->positional().empty() || !args->Value("guid") || !args->Value("minutes") ||
        !args->Value("reason")) {
        PrintError(args ? usage : error);
        return 2;
    }
    const auto minutes = args->Integer("minutes", 0, error);
    if (!minutes || *minutes < 1 || *minutes > kMaxBanMinutes) {
        PrintError(error.empty() ? "--minutes needs a number of minutes from 1 to " +
                                       std::to_string(kMaxBanMinutes)
                                 : error);
        return 2;
    }
    const auto config = LoadConfigForCommand(*args);
    const auto location = config ? DatabaseLocationForCommand(*config) : std::nullopt;
    if (!location) {
        return 1;
    }
    // The texts as a ban's records keep them: what the log's bytes can say.
    const auto kept = [](const std::string& utf8) {
        return Windows1252ToUtf8(Utf8ToWindows1252(utf8));
    };
    const BanRequest request{*args->Value("guid"),
                             kept(*args->Value("reason")),
                             kept(args->Value("name").value_or("")),
                             {}};
    BanChange changed;
    std::int64_t now = 0;
    const int stateCode = ChangeBanState(*location, [&](BanStates& states) {
        changed = states.TempBan(request, *minutes);
        now = states.Now();
        return changed;
    });
    // Where he plays now, he goes at once; elsewhere the services kick him
    // at his next connect.
    const int kickCode = changed.state ? KickWhereBannedPlays(*config, *changed.state, now) : 0;
    return stateCode != 0 ? stateCode : kickCode;
}

int RunBans(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "bans", error);
    const bool sync = args && args->positional() == std::vector<std::string>{"sync"};
    if (sync && !args->Flag("active") && !args->Flag("json") && !args->Value("guid") &&
        !args->Value("name") && !args->Value("admin")) {
        return RunBansSync(*args);
    }
    if (!args || !args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl bans [--config FILE] [--active] [--guid G] [--name "
                          "TEXT] [--admin NAME] [--json]\n       quarvelctl bans sync [--config "
                          "FILE]"
                        : error);
        return 2;
    }
    BanStateFilter filter;
    filter.activeOnly = args->Flag("active");
    filter.guid = args->Value("guid").value_or("");
    filter.name = args->Value("name").value_or("");
    filter.admin = args->Value("admin").value_or("");
    if (!filter.guid.empty() && !StateGuid(filter.guid)) {
        PrintError("--guid needs a GUID of 32 hexadecimal digits, not \"" + filter.guid + "\"");
        return 2;
    }
    const auto location = LoadDatabaseLocationForCommand(*args);
    if (!location) {
        return 1;
    }
    std::vector<BanState> states;
    std::int64_t now = 0;
    try {
        BanStates bans(*location);
        states = bans.List(filter);
        now = bans.Now();
        bans.Close();
    } catch (const DatabaseError& failure) {
        PrintError(failure.what());
        return 1;
    }
    if (states.empty()) {
        std::fputs("No ban found\n", stderr);
        return 1;
    }
    const bool json = args->Flag("json");
    for (const BanState& state : states) {
        std::string line;
        if (json) {
            line = StateJson(state, now);
        } else {
            AppendEscaped(line, BanStateLine(state, now), Escapes::Line);
            line += '\n';
        }
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
