#include "AppConfig.h"

#include "AppConfigReader.h"

#include <filesystem>

namespace {

// A file named in the configuration: absolute as written, relative to the
// configuration's folder otherwise.
std::string BesideConfiguration(const std::string& configPath, const std::string& value) {
    const std::filesystem::path file(value);
    if (value.empty() || file.is_absolute()) {
        return value;
    }
    return (std::filesystem::path(configPath).parent_path() / file).lexically_normal().string();
}

} // namespace

bool AppConfig::Load() {
    servers.clear();
    refusals.clear();
    AppConfigReader reader(*this);
    const bool read = reader.Load(path);
    reader.Finish();
    return read;
}

bool AppConfig::LoadFrom(std::FILE* file) {
    AppConfigReader reader(*this);
    const bool read = reader.LoadFrom(file);
    reader.Finish();
    return read;
}

std::string AppConfig::DatabaseLocation() const {
    if (databasePath.rfind("postgresql://", 0) == 0) {
        return databasePath;
    }
    return BesideConfiguration(path, databasePath);
}

std::string AppConfig::LogLocation(const ServerEntry& server) const {
    return BesideConfiguration(path, server.log);
}

std::vector<std::string> AppConfig::RefusalMessages() const {
    std::vector<std::string> messages;
    messages.reserve(refusals.size());
    for (const ConfigRefusal& refusal : refusals) {
        messages.push_back(path + ", line " + std::to_string(refusal.line) + ": " + refusal.text +
                           ".");
    }
    return messages;
}
