#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "ConfigSecrets.h"
#include "Json.h"

#include <cstdio>

namespace {

void AppendConfigText(std::string& out, const char* key, const std::string& value) {
    out += ", \"";
    out += key;
    out += "\": ";
    AppendJsonLogText(out, value);
}

} // namespace

int RunConfig(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "config", error);
    if (!args || !args->positional().empty()) {
        PrintError(args ? "config takes no positional arguments" : error);
        return 2;
    }
    const auto loaded = LoadConfigForCommand(*args);
    if (!loaded) {
        return 1;
    }
    const AppConfig& config = *loaded;
    // Passwords are for the servers, not for a terminal, a journal or a
    // pasted bug report: they show only when asked for.
    const bool secrets = args->Flag("show-secrets");
    std::string out = "{\"databasePath\": ";
    AppendJsonLogText(out,
                      secrets ? config.databasePath : MaskedDatabaseValue(config.databasePath));
    out += ", \"servers\": [";
    bool first = true;
    for (const ServerEntry& server : config.servers) {
        out += first ? "" : ", ";
        first = false;
        out += "{\"name\": ";
        AppendJsonLogText(out, server.name);
        AppendConfigText(out, "address", server.address);
        out += ", \"port\": " + std::to_string(server.port);
        AppendConfigText(out, "rconpass",
                         secrets ? server.rconpass : MaskedPassword(server.rconpass));
        AppendConfigText(out, "log", server.log);
        out += ", \"poll\": " + std::to_string(server.poll);
        for (const ServerCommand command : kServerCommands) {
            AppendConfigText(out, std::string(ServerCommandKey(command)).c_str(),
                             server.commands.Template(command));
        }
        out += "}";
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
