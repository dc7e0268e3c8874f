#pragma once

#include <string>
#include <string_view>

// What stands for a secret wherever the configuration is shown.
inline constexpr std::string_view kSecretMask = "********";

// An RCON password as shown: the mask, or nothing when none is set.
std::string MaskedPassword(std::string_view password);

// A database value as shown: a postgresql:// (or postgres://) URI with the password of its
// user part ("user:secret@host") and any "password" option in its query
// replaced by the mask; any other value as it is. Errs towards hiding: the
// user part runs to the last '@' of the value and an option's value to the
// next '&', so a password holding '/', '?' or '@' is hidden whole.
std::string MaskedDatabaseValue(std::string_view value);
