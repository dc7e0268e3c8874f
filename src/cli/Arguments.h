#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The arguments of one quarvelctl command: positional values, "--name value"
// options and "--flag" switches. Which names take a value is given up front.
class Arguments {
public:
    // Parses argv-style words. `valueOptions` take the following word as
    // their value; `flags` take none. Any other "--" word is an error.
    static std::optional<Arguments> Parse(const std::vector<std::string>& words,
                                          const std::vector<std::string>& valueOptions,
                                          const std::vector<std::string>& flags,
                                          std::string& error);

    const std::vector<std::string>& positional() const { return positional_; }
    std::optional<std::string> Value(const std::string& name) const;
    bool Flag(const std::string& name) const;

    // An option's value as an integer; `error` says why when it is not one.
    std::optional<long long> Integer(const std::string& name, long long fallback,
                                     std::string& error) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::map<std::string, bool> flags_;
};
