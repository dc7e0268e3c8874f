#include "AppConfigReader.h"

#include <cstdlib>
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

int AppConfigReader::OnSection(const std::string& name) {
    if (SameWord(name, "server")) {
        config_.servers.emplace_front();
        section_ = Section::Server;
        return kHandled;
    }
    if (SameWord(name, "database")) {
        section_ = Section::Database;
        return kHandled;
    }
    return kBadLine; // the keys that follow still go to the block before
}

int AppConfigReader::OnKeyValue(const std::string& key, const std::string& value) {
    if (section_ == Section::Server) {
        ServerEntry& server = config_.servers.front();
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
    if (section_ == Section::Database && SameWord(key, "file")) {
        config_.databasePath = Limit(value, AppConfig::kDatabasePathLimit);
        return kHandled;
    }
    return kBadLine;
}
