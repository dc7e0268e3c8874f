#include "ServerListEdit.h"

#include "ConfigValues.h"
#include "ServerCommands.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::array<std::string_view, kServerKeyCount> kKeyTexts = {
    "name", "address", "port", "rconpass", "log", "poll", "kick", "tempkick", "say", "userinfo"};

constexpr int kHighestPort = 65535;

std::optional<int> ParsePort(std::string_view text) {
    int port = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || text.front() < '0' || text.front() > '9' || status != std::errc() ||
        end != text.data() + text.size() || port < 1 || port > kHighestPort) {
        return std::nullopt;
    }
    return port;
}

// Applies one server's changed values to its block; the name goes last, as
// the block is found by it.
ConfigEdit ApplyChangedValues(ConfigDocument& document, const ServerListEdit::Server& server) {
    ServerRef ref = *server.block;
    std::vector<ServerKey> keys(kServerKeys.begin() + 1, kServerKeys.end());
    keys.push_back(ServerKey::Name);
    for (const ServerKey key : keys) {
        const std::string& value = server.values[key];
        if (value == server.read[key]) {
            continue;
        }
        const ConfigEdit edit = value.empty()
                                    ? document.RemoveServerValue(ref, ServerKeyText(key))
                                    : document.SetServerValue(ref, ServerKeyText(key), value);
        if (!edit.ok()) {
            return edit;
        }
    }
    return {};
}

} // namespace

std::string_view ServerKeyText(ServerKey key) {
    return kKeyTexts[static_cast<std::size_t>(key)];
}

ServerValues ValuesOfBlock(const ServerBlock& block) {
    ServerValues values;
    for (const ServerKey key : kServerKeys) {
        values[key] = block.Value(ServerKeyText(key)).value_or("");
    }
    return values;
}

std::string CheckServerField(ServerKey key, std::string_view value) {
    if (value.empty()) {
        switch (key) {
        case ServerKey::Name:
            return "The server needs a name.";
        case ServerKey::Address:
            return "The server needs an address.";
        case ServerKey::Port:
            return "The server needs a port.";
        default:
            return {};
        }
    }
    if (key == ServerKey::Port && !ParsePort(value)) {
        return "The port is a whole number from 1 to " + std::to_string(kHighestPort) + ".";
    }
    return UnwritableServerValue(ServerKeyText(key), value);
}

ServerEntry EntryOfValues(const ServerValues& values) {
    ServerEntry entry;
    entry.name = values[ServerKey::Name];
    entry.address = values[ServerKey::Address];
    entry.port = ParsePort(values[ServerKey::Port]).value_or(0);
    entry.rconpass = values[ServerKey::Password];
    entry.log = values[ServerKey::Log];
    entry.poll = ParsePollSeconds(values[ServerKey::Poll]).value_or(kDefaultPollSeconds);
    for (const ServerKey key : kServerKeys) {
        const auto command = ServerCommandOfKey(ServerKeyText(key));
        if (command && !values[key].empty()) {
            entry.commands.Template(*command) = values[key];
        }
    }
    return entry;
}

ServerListEdit::ServerListEdit(const ConfigDocument& document) {
    for (const ServerBlock& block : document.Servers()) {
        ServerValues values = ValuesOfBlock(block);
        servers_.push_back({block.ref(), values, values});
    }
}

bool ServerListEdit::changed() const {
    return !removed_.empty() || std::any_of(servers_.begin(), servers_.end(), [](const Server& s) {
        return !s.block || s.values != s.read;
    });
}

void ServerListEdit::Add(ServerValues values) {
    servers_.push_back({std::nullopt, {}, std::move(values)});
}

void ServerListEdit::Set(std::size_t index, ServerValues values) {
    servers_.at(index).values = std::move(values);
}

void ServerListEdit::Remove(std::size_t index) {
    if (const auto& block = servers_.at(index).block) {
        removed_.push_back(*block);
    }
    servers_.erase(servers_.begin() + static_cast<std::ptrdiff_t>(index));
}

ConfigEdit ServerListEdit::ApplyTo(ConfigDocument& document) const {
    for (const Server& server : servers_) {
        if (server.block && server.values != server.read) {
            if (ConfigEdit edit = ApplyChangedValues(document, server); !edit.ok()) {
                return edit;
            }
        }
    }
    // From the last block up, so that the places of those before stay.
    std::vector<ServerRef> removed = removed_;
    std::sort(removed.begin(), removed.end(),
              [](const ServerRef& a, const ServerRef& b) { return a.index > b.index; });
    for (const ServerRef& ref : removed) {
        if (ConfigEdit edit = document.RemoveServer(ref); !edit.ok()) {
            return edit;
        }
    }
    for (const Server& server : servers_) {
        if (server.block) {
            continue;
        }
        std::vector<std::pair<std::string, std::string>> values;
        for (const ServerKey key : kServerKeys) {
            if (!server.values[key].empty()) {
                values.emplace_back(ServerKeyText(key), server.values[key]);
            }
        }
        if (ConfigEdit edit = document.AddServer(document.Servers().size(), values); !edit.ok()) {
            return edit;
        }
    }
    return {};
}
