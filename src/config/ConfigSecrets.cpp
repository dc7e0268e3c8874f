#include "ConfigSecrets.h"

#include "ConfigLine.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

// The database layer takes the first; the PostgreSQL client takes both, and
// a password is never shown whatever becomes of the value.
constexpr std::array<std::string_view, 2> kPostgresSchemes = {"postgresql://", "postgres://"};

std::size_t SchemeLength(std::string_view value) {
    for (const std::string_view scheme : kPostgresSchemes) {
        if (value.size() >= scheme.size() &&
            SameConfigName(value.substr(0, scheme.size()), scheme)) {
            return scheme.size();
        }
    }
    return 0;
}

// The percent-decoded form of a query key, enough to know "password" in any
// spelling of it.
std::string DecodedKey(std::string_view key) {
    std::string decoded;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '%' && i + 2 < key.size()) {
            const std::string hex(key.substr(i + 1, 2));
            char* end = nullptr;
            const long code = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                decoded += static_cast<char>(code);
                i += 2;
                continue;
            }
        }
        decoded += key[i];
    }
    return decoded;
}

// Marks the value of every "password=..." option: an option starts the text
// or follows a '?' or '&', and its value runs to the next '&', so that a '?'
// or '@' inside a password does not end it. The path before the query is
// looked at too: whatever a stretch is, a password option is never shown.
void MarkPasswordOptions(std::string_view text, std::vector<bool>& hidden) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t next = text.find_first_of("?&", start);
        const std::string_view stretch = text.substr(
            start, next == std::string_view::npos ? std::string_view::npos : next - start);
        const std::size_t equals = stretch.find('=');
        if (equals != std::string_view::npos &&
            SameConfigName(DecodedKey(stretch.substr(0, equals)), "password")) {
            const std::size_t from = start + equals + 1;
            const std::size_t to = std::min(text.find('&', from), text.size());
            std::fill(hidden.begin() + static_cast<std::ptrdiff_t>(from),
                      hidden.begin() + static_cast<std::ptrdiff_t>(to), true);
        }
        if (next == std::string_view::npos) {
            return;
        }
        start = next + 1;
    }
}

// Marks the password of the user part ("user:secret@host"). The user part
// runs to the last '@' of the text, so that a password holding '/', '?' or
// '@' is hidden whole.
void MarkUserPassword(std::string_view text, std::vector<bool>& hidden) {
    const std::size_t at = text.rfind('@');
    if (at == std::string_view::npos) {
        return;
    }
    const std::size_t colon = text.substr(0, at).find(':');
    if (colon != std::string_view::npos) {
        std::fill(hidden.begin() + static_cast<std::ptrdiff_t>(colon + 1),
                  hidden.begin() + static_cast<std::ptrdiff_t>(at), true);
    }
}

} // namespace

std::string MaskedPassword(std::string_view password) {
    return password.empty() ? std::string() : std::string(kSecretMask);
}

std::string MaskedDatabaseValue(std::string_view value) {
    const std::size_t scheme = SchemeLength(value);
    if (scheme == 0) {
        return std::string(value);
    }
    // A URI that is not well formed can be read two ways; whatever either
    // reading takes for a password is hidden.
    const std::string_view rest = value.substr(scheme);
    std::vector<bool> hidden(rest.size(), false);
    MarkUserPassword(rest, hidden);
    MarkPasswordOptions(rest, hidden);
    std::string masked(value.substr(0, scheme));
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (!hidden[i]) {
            masked += rest[i];
        } else if (i == 0 || !hidden[i - 1]) {
            masked += kSecretMask;
        }
    }
    return masked;
}
