#include "ServerStatus.h"

#include "HostAddress.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

enum class Column { Slot, Score, Ping, Guid, Name, LastMessage, Address, QPort, Rate, Other };

Column ColumnNamed(std::string_view name) {
    if (name == "cl" || name == "num") {
        return Column::Slot;
    }
    if (name == "score") {
        return Column::Score;
    }
    if (name == "ping") {
        return Column::Ping;
    }
    if (name == "guid") {
        return Column::Guid;
    }
    if (name == "name") {
        return Column::Name;
    }
    if (name == "lastmsg") {
        return Column::LastMessage;
    }
    if (name == "address") {
        return Column::Address;
    }
    if (name == "qport") {
        return Column::QPort;
    }
    if (name == "rate") {
        return Column::Rate;
    }
    return Column::Other;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Takes the first blank-separated word off the front of `text`.
std::string_view TakeFirstWord(std::string_view& text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

// Takes the last blank-separated word off the end of `text`.
std::string_view TakeLastWord(std::string_view& text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) {
        --end;
    }
    std::size_t start = end;
    while (start > 0 && !IsBlank(text[start - 1])) {
        --start;
    }
    const std::string_view word = text.substr(start, end - start);
    text.remove_suffix(text.size() - start);
    return word;
}

std::optional<int> Number(std::string_view word) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

// The header's columns, or nothing when the line is no header.
std::optional<std::vector<Column>> HeaderColumns(std::string_view line) {
    std::vector<Column> columns;
    while (true) {
        const std::string_view word = TakeFirstWord(line);
        if (word.empty()) {
            break;
        }
        columns.push_back(ColumnNamed(word));
    }
    const auto has = [&columns](Column c) {
        return std::count(columns.begin(), columns.end(), c) == 1;
    };
    if (columns.empty() || columns.front() != Column::Slot || !has(Column::Name) ||
        !has(Column::Ping) || !has(Column::Score)) {
        return std::nullopt;
    }
    return columns;
}

bool SetField(StatusPlayer& player, Column column, std::string_view word) {
    switch (column) {
    case Column::Slot:
        if (const auto slot = Number(word); slot && *slot >= 0) {
            player.slot = *slot;
            return true;
        }
        return false;
    case Column::Score:
        if (const auto score = Number(word)) {
            player.score = *score;
            return true;
        }
        return false;
    case Column::Ping:
        if (word == "CNCT" || word == "CON") {
            player.state = PingState::Connecting;
            return true;
        }
        if (word == "ZMBI" || word == "ZMB") {
            player.state = PingState::Zombie;
            return true;
        }
        if (const auto ping = Number(word)) {
            player.ping = *ping;
            return true;
        }
        return false;
    case Column::Rate:
        if (const auto rate = Number(word)) {
            player.rate = *rate;
            return true;
        }
        return false;
    case Column::Address:
        // ioquake3 resets the colour before the address.
        if (word.starts_with("^7")) {
            word.remove_prefix(2);
        }
        player.address = std::string(word);
        return true;
    case Column::Guid:
        player.guid = std::string(word);
        return true;
    case Column::LastMessage:
    case Column::QPort:
        return Number(word).has_value();
    case Column::Name:
    case Column::Other:
        return true;
    }
    return true;
}

std::optional<StatusPlayer> PlayerRow(std::string_view line, const std::vector<Column>& columns) {
    const auto name = std::find(columns.begin(), columns.end(), Column::Name);
    StatusPlayer player;
    for (auto column = columns.begin(); column != name; ++column) {
        const std::string_view word = TakeFirstWord(line);
        if (word.empty() || !SetField(player, *column, word)) {
            return std::nullopt;
        }
    }
    for (auto column = columns.end(); column != name + 1;) {
        --column;
        const std::string_view word = TakeLastWord(line);
        if (word.empty() || !SetField(player, *column, word)) {
            return std::nullopt;
        }
    }
    // Blanks part the name from the column before it (the games take
    // leading blanks out of names); the rest is the name and its padding,
    // which some engines end with a colour reset.
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && IsBlank(line.back())) {
        line.remove_suffix(1);
    }
    if (line.ends_with("^7") && !line.ends_with("^^7")) {
        line.remove_suffix(2);
        while (!line.empty() && IsBlank(line.back())) {
            line.remove_suffix(1);
        }
    }
    player.name = std::string(line);
    return player;
}

// Calls `each` with every line of `text`, without its line end.
template <typename Each> void ForEachLine(std::string_view text, Each&& each) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!each(line, end != std::string_view::npos)) {
            return;
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

} // namespace

ServerStatus ParseStatus(std::string_view text) {
    ServerStatus status;
    std::optional<std::vector<Column>> columns;
    ForEachLine(text, [&](std::string_view line, bool) {
        if (!columns) {
            if (line.starts_with("map:")) {
                status.map = std::string(TrimBlanks(line.substr(4)));
            } else if ((columns = HeaderColumns(line))) {
                status.recognised = true;
            }
            return true;
        }
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty()) {
            return false; // the end of the table
        }
        if (trimmed.find_first_not_of("- ") == std::string_view::npos) {
            return true; // the dashes under the header
        }
        if (auto player = PlayerRow(line, *columns)) {
            status.players.push_back(std::move(*player));
        }
        return true;
    });
    return status;
}

bool IsWholeStatus(std::string_view text) {
    bool header = false;
    bool whole = false;
    ForEachLine(text, [&](std::string_view line, bool ended) {
        if (!header) {
            header = HeaderColumns(line).has_value();
            return true;
        }
        if (ended && TrimBlanks(line).empty()) {
            whole = true;
            return false;
        }
        return true;
    });
    return whole;
}

std::string_view AddressIp(std::string_view address) {
    const std::string_view ip = address.substr(0, address.find(':'));
    return ParseDottedIPv4(ip) ? ip : std::string_view();
}
