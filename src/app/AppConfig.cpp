#include "AppConfig.h"

#include <cstdlib>
#include <filesystem>
#include <strings.h>

namespace {

bool SameWord(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

// Values longer than their field are cut to the field's limit.
std::string Limit(const std::string& value, std::size_t limit) {
    return value.substr(0, limit);
}

} // namespace

bool AppConfig::Load() {
    servers.clear();
    section = 0;
    return ConfigReader::Load();
}

int AppConfig::OnSection(const std::string& name) {
    if (SameWord(name, "server")) {
        servers.emplace_front();
        section = 1;
        return kHandled;
    }
    if (SameWord(name, "database")) {
        section = 2;
        return kHandled;
    }
    return kBadLine; // the keys that follow still go to the block before
}

int AppConfig::OnKeyValue(const std::string& key, const std::string& value) {
    if (section == 1) {
        ServerEntry& server = servers.front();
        if (SameWord(key, "name")) {
            server.name = Limit(value, ServerEntry::kTextLimit);
        } else if (SameWord(key, "address")) {
            server.address = Limit(value, ServerEntry::kTextLimit);
        } else if (SameWord(key, "rconpass")) {
            server.rconpass = Limit(value, ServerEntry::kTextLimit);
        } else if (SameWord(key, "port")) {
            // The C conversion: leading blanks, a sign, digits up to the first
            // other character; no digits give 0. Out-of-range values saturate.
            const long port = std::strtol(value.c_str(), nullptr, 10);
            server.port = port > 0x7FFFFFFFL        ? 0x7FFFFFFF
                          : port < -0x7FFFFFFFL - 1 ? -0x7FFFFFFF - 1
                                                    : static_cast<int>(port);
        } else {
            return kBadLine;
        }
        return kHandled;
    }
    if (section == 2 && SameWord(key, "file")) {
        databasePath = Limit(value, kDatabasePathLimit);
        return kHandled;
    }
    return kBadLine;
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
