#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "Json.h"

#include <cstdio>

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
    std::string out = "{\"databasePath\": ";
    AppendJsonLogText(out, config.databasePath);
    out += ", \"servers\": [";
    bool first = true;
    for (const ServerEntry& server : config.servers) {
        out += first ? "" : ", ";
        first = false;
        out += "{\"name\": ";
        AppendJsonLogText(out, server.name);
        out += ", \"address\": ";
        AppendJsonLogText(out, server.address);
        out += ", \"port\": " + std::to_string(server.port) + ", \"rconpass\": ";
        AppendJsonLogText(out, server.rconpass);
        out += "}";
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
