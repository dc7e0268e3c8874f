#include "DatabaseTarget.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

// Client options passed through to the PostgreSQL client library. "options"
// carries server settings such as "-c search_path=..."; "passfile" names the
// password file; the timeouts and keepalives replace the program's own. The
// password itself is deliberately absent.
constexpr std::array<std::string_view, 15> kPassThroughOptions = {
    "application_name",
    "connect_timeout",
    "options",
    "passfile",
    "sslcert",
    "sslkey",
    "sslmode",
    "sslrootcert",
    "sslcrl",
    "target_session_attrs",
    "keepalives",
    "keepalives_idle",
    "keepalives_interval",
    "keepalives_count",
    "tcp_user_timeout",
};

// Messages name the part of the URI that is wrong and never quote it: a
// password pasted into the URI by mistake (after a ":" or a "/" in it, say)
// would otherwise reach the terminal and the service's journal.
constexpr char kBadPort[] = "the port of the database URI is not a number from 1 to 65535";

std::string Ordinal(int n) {
    return "option " + std::to_string(n) + " (after \"?\")";
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes %XX escapes; a stray or incomplete "%" is an error.
std::optional<std::string> PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::optional<int> ParsePort(std::string_view text) {
    int port = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (status != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

// Values reach the client library inside a quoted connection string that Qt
// splits at ";", so that character cannot be passed through.
bool PassableValue(std::string_view value) {
    return value.find(';') == std::string_view::npos && value.find('\0') == std::string_view::npos;
}

bool ParseAuthority(std::string_view authority, DatabaseTarget& target, std::string& error) {
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        if (userInfo.find(':') != std::string_view::npos) {
            error = "the database URI must not hold a password; use PGPASSWORD or the "
                    "PostgreSQL password file";
            return false;
        }
        const auto user = PercentDecode(userInfo);
        if (!user) {
            error = "bad percent escape in the user of the database URI";
            return false;
        }
        target.user = *user;
        authority.remove_prefix(at + 1);
    }
    std::string_view hostPart = authority;
    std::optional<std::string_view> portPart; // set when a ":" follows the host
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            error = "unclosed \"[\" in the host of the database URI";
            return false;
        }
        hostPart = authority.substr(1, close - 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            error = "unexpected text after the host of the database URI";
            return false;
        }
        if (!rest.empty()) {
            portPart = rest.substr(1);
        }
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        hostPart = authority.substr(0, colon);
        portPart = authority.substr(colon + 1);
    }
    if (hostPart.find(',') != std::string_view::npos) {
        error = "several hosts in the database URI are not supported";
        return false;
    }
    const auto host = PercentDecode(hostPart);
    if (!host) {
        error = "bad percent escape in the host of the database URI";
        return false;
    }
    target.host = *host;
    if (portPart && !portPart->empty()) { // "host:" keeps the default port
        const auto port = ParsePort(*portPart);
        if (!port) {
            error = kBadPort;
            return false;
        }
        target.port = *port;
    }
    return true;
}

bool ApplyQueryOption(const std::string& key, const std::string& value, int position,
                      DatabaseTarget& target, std::string& error) {
    if (key == "password") {
        error = "the database URI must not hold a password; use PGPASSWORD or the PostgreSQL "
                "password file";
        return false;
    }
    if (key == "host") {
        target.host = value;
    } else if (key == "port") {
        const auto port = ParsePort(value);
        if (!port) {
            error = kBadPort;
            return false;
        }
        target.port = *port;
    } else if (key == "user") {
        target.user = value;
    } else if (key == "dbname") {
        target.databaseName = value;
    } else if (IsSupportedPostgresOption(key)) {
        if (!PassableValue(value)) {
            error = "the value of \"" + key + "\" in the database URI must not hold \";\"";
            return false;
        }
        target.options.emplace_back(key, value);
    } else {
        error = Ordinal(position) +
                " of the database URI is not one Quarvel understands: it takes host, port, user, "
                "dbname";
        for (const std::string_view name : kPassThroughOptions) {
            error += ", " + std::string(name);
        }
        return false;
    }
    return true;
}

bool ParseQuery(std::string_view query, DatabaseTarget& target, std::string& error) {
    int position = 0;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        ++position;
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            error = Ordinal(position) + " of the database URI has no value (key=value)";
            return false;
        }
        const auto key = PercentDecode(pair.substr(0, equals));
        const auto value = PercentDecode(pair.substr(equals + 1));
        if (!key || !value) {
            error = "bad percent escape in the options of the database URI";
            return false;
        }
        if (!ApplyQueryOption(*key, *value, position, target, error)) {
            return false;
        }
    }
    return true;
}

std::optional<DatabaseTarget> ParsePostgresUri(std::string_view uri, std::string& error) {
    DatabaseTarget target;
    target.engine = DatabaseTarget::Engine::Postgres;
    uri.remove_prefix(DatabaseTarget::kUriScheme.size());

    const std::size_t question = uri.find('?');
    const std::string_view query =
        question == std::string_view::npos ? std::string_view() : uri.substr(question + 1);
    const std::string_view beforeQuery = uri.substr(0, question);
    const std::size_t slash = beforeQuery.find('/');
    const std::string_view authority = beforeQuery.substr(0, slash);
    if (!ParseAuthority(authority, target, error)) {
        return std::nullopt;
    }
    if (slash != std::string_view::npos) {
        const auto name = PercentDecode(beforeQuery.substr(slash + 1));
        if (!name) {
            error = "bad percent escape in the database name of the database URI";
            return std::nullopt;
        }
        target.databaseName = *name;
    }
    if (!ParseQuery(query, target, error)) {
        return std::nullopt;
    }
    return target;
}

} // namespace

bool IsSupportedPostgresOption(std::string_view key) {
    return std::find(kPassThroughOptions.begin(), kPassThroughOptions.end(), key) !=
           kPassThroughOptions.end();
}

std::optional<DatabaseTarget> ParseDatabaseTarget(std::string_view location, std::string& error) {
    if (location.empty()) {
        error = "no player database is configured";
        return std::nullopt;
    }
    if (location.starts_with(DatabaseTarget::kUriScheme)) {
        return ParsePostgresUri(location, error);
    }
    DatabaseTarget target;
    target.file = std::string(location);
    return target;
}
