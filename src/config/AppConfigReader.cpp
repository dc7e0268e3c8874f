#include "AppConfigReader.h"

#include "ConfigLine.h"

#include <cstdlib>

void AppConfigReader::Finish() {
    EndServerBlock();
    if (databaseRefused_) {
        config_.databasePath.clear();
    }
}

void AppConfigReader::EndServerBlock() {
    // A server is only ever asked as its block says: with a refused address
    // or password it would be asked somewhere else, or in vain.
    if (serverRefused_) {
        config_.servers.pop_front();
        serverRefused_ = false;
    }
}

int AppConfigReader::Refuse(const std::string& why) {
    const char* consequence = "the line is ignored";
    if (section_ == Section::Server) {
        consequence = "the server of this block is left out";
        serverRefused_ = true;
    } else if (section_ == Section::Database) {
        consequence = "no player database is used";
        databaseRefused_ = true;
    }
    config_.refusals.push_back({lineNumber(), why + "; " + consequence});
    return kBadLine;
}

int AppConfigReader::OnOverlongLine() {
    return Refuse("the line is longer than " + std::to_string(kLineLimit) + " characters");
}

int AppConfigReader::OnSection(const std::string& name) {
    if (SameConfigName(name, "server")) {
        EndServerBlock();
        config_.servers.emplace_front();
        section_ = Section::Server;
        return kHandled;
    }
    if (SameConfigName(name, "database")) {
        EndServerBlock();
        section_ = Section::Database;
        return kHandled;
    }
    return kBadLine; // the keys that follow still go to the block before
}

int AppConfigReader::OnKeyValue(const std::string& key, const std::string& value) {
    if (section_ == Section::Server) {
        if (const std::string why = CheckServerValue(key, value); !why.empty()) {
            return Refuse(why);
        }
        return TakeServerValue(config_.servers.front(), key, value);
    }
    if (section_ == Section::Database && SameConfigName(key, "file")) {
        if (const std::string why = CheckDatabaseValue(key, value); !why.empty()) {
            return Refuse(why);
        }
        config_.databasePath = value;
        return kHandled;
    }
    return kBadLine;
}

int AppConfigReader::TakeServerValue(ServerEntry& server, const std::string& key,
                                     const std::string& value) {
    if (SameConfigName(key, "name")) {
        server.name = value;
    } else if (SameConfigName(key, "address")) {
        server.address = value;
    } else if (SameConfigName(key, "rconpass")) {
        server.rconpass = value;
    } else if (SameConfigName(key, "port")) {
        // The C conversion: leading blanks, a sign, digits up to the first
        // other character; no digits give 0. Out-of-range values saturate.
        const long port = std::strtol(value.c_str(), nullptr, 10);
        server.port = port > 0x7FFFFFFFL        ? 0x7FFFFFFF
                      : port < -0x7FFFFFFFL - 1 ? -0x7FFFFFFF - 1
                                                : static_cast<int>(port);
    } else if (SameConfigName(key, "log")) {
        server.log = value;
    } else if (SameConfigName(key, "poll")) {
        server.poll = *ParsePollSeconds(value);
    } else if (const auto command = ServerCommandOfKey(key)) {
        server.commands.Template(*command) = value;
    } else {
        return kBadLine; // a key of another program or a later version
    }
    return kHandled;
}
