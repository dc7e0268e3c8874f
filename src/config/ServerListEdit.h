#pragma once

#include "AppConfig.h"
#include "ConfigDocument.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The keys of a "[server]" block that the Servers dialog edits, in the order
// a new block is written.
enum class ServerKey { Name, Address, Port, Password, Log, Poll, Kick, TempKick, Say, Userinfo };

inline constexpr std::size_t kServerKeyCount = 10;
inline constexpr std::array<ServerKey, kServerKeyCount> kServerKeys = {
    ServerKey::Name, ServerKey::Address, ServerKey::Port, ServerKey::Password,
    ServerKey::Log,  ServerKey::Poll,    ServerKey::Kick, ServerKey::TempKick,
    ServerKey::Say,  ServerKey::Userinfo};

// The key as the file writes it: "name", "address", "port", "rconpass",
// "log", "poll", "kick", "tempkick", "say", "userinfo".
std::string_view ServerKeyText(ServerKey key);

// One server's values as the file holds them (bytes), one a key; an empty
// value is a key the block does not have (its default applies).
struct ServerValues {
    std::array<std::string, kServerKeyCount> text{};

    std::string& operator[](ServerKey key) { return text[static_cast<std::size_t>(key)]; }
    const std::string& operator[](ServerKey key) const {
        return text[static_cast<std::size_t>(key)];
    }
    bool operator==(const ServerValues&) const = default;
};

// The values the reader takes from a block: the last of each key.
ServerValues ValuesOfBlock(const ServerBlock& block);

// Why `value` cannot be the server's `key`, as one sentence; empty when it
// can. A server needs a name, an address and a port from 1 to 65535; the
// other keys may be left out (empty). A value is checked as the writer checks
// it (UnwritableServerValue: the reader's rules, and what a line can hold).
std::string CheckServerField(ServerKey key, std::string_view value);

// The server as the reader takes a block of these values, for asking it
// before anything is saved. The values have passed CheckServerField.
ServerEntry EntryOfValues(const ServerValues& values);

// The servers of quarvel.cfg as the user edits them before anything is
// written: the blocks as read, in file order, each with its values as read
// and as edited; servers added after them; the blocks removed. Applied to a
// document (the one it was made from, or the file read again since), it
// changes only what was edited: a key whose value stayed keeps its line as
// written, a key emptied loses its lines, and comments, unknown keys and
// lines and the blocks' order stay as they are.
class ServerListEdit {
public:
    struct Server {
        std::optional<ServerRef> block; // the block it was read from; none when added
        ServerValues read;              // as read (empty for an added one)
        ServerValues values;            // as edited
    };

    ServerListEdit() = default;
    explicit ServerListEdit(const ConfigDocument& document);

    const std::vector<Server>& servers() const { return servers_; }
    // Whether applying would change anything.
    bool changed() const;

    void Add(ServerValues values);
    void Set(std::size_t index, ServerValues values);
    void Remove(std::size_t index);

    // Makes the edits in the document: the changed values, then the removed
    // blocks, then the added servers after the last block. Stops at the first
    // edit the document refuses (a block no longer where it was, a value it
    // will not write) and says why; the document is then half edited, so
    // apply to a copy.
    ConfigEdit ApplyTo(ConfigDocument& document) const;

private:
    std::vector<Server> servers_;
    std::vector<ServerRef> removed_;
};
