#include "ConfigLoading.h"

#include "Commands.h"
#include "ConfigLocation.h"

std::optional<AppConfig> LoadConfigForCommand(const Arguments& args) {
    AppConfig config;
    config.path =
        FindConfigFile(QString::fromStdString(args.Value("config").value_or(""))).toStdString();
    if (!config.Load()) {
        PrintError("cannot read the configuration file " + config.path);
        return std::nullopt;
    }
    // What was refused is said, and the command goes on with the rest.
    for (const std::string& refusal : config.RefusalMessages()) {
        PrintError(refusal);
    }
    return config;
}

std::optional<std::string> LoadDatabaseLocationForCommand(const Arguments& args) {
    const auto config = LoadConfigForCommand(args);
    return config ? DatabaseLocationForCommand(*config) : std::nullopt;
}

std::optional<std::string> DatabaseLocationForCommand(const AppConfig& config) {
    std::string location = config.DatabaseLocation();
    if (location.empty()) {
        PrintError("the configuration names no player database");
        return std::nullopt;
    }
    return location;
}
