#include "AppConfig.h"

#include "AppConfigReader.h"

#include <filesystem>

bool AppConfig::Load() {
    servers.clear();
    AppConfigReader reader(*this);
    return reader.Load(path);
}

bool AppConfig::LoadFrom(std::FILE* file) {
    AppConfigReader reader(*this);
    return reader.LoadFrom(file);
}

std::string AppConfig::DatabaseLocation() const {
    if (databasePath.empty() || databasePath.rfind("postgresql://", 0) == 0) {
        return databasePath;
    }
    const std::filesystem::path file(databasePath);
    if (file.is_absolute()) {
        return databasePath;
    }
    return (std::filesystem::path(path).parent_path() / file).lexically_normal().string();
}
