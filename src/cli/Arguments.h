#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct CommandEntry;

// The arguments of one quarvelctl command: positional values, "--name value"
// options and "--flag" switches, as the command's entry in the command table
// declares them. Qt's QCommandLineParser reads the words: "--name=value"
// works too, and "--" ends the options.
class Arguments {
public:
    // Parses argv-style words by the options of the named command. Any
    // other option is an error.
    static std::optional<Arguments> Parse(const std::vector<std::string>& words,
                                          const char* command, std::string& error);
    static std::optional<Arguments> Parse(const std::vector<std::string>& words,
                                          const CommandEntry& command, std::string& error);

    const std::vector<std::string>& positional() const { return positional_; }
    std::optional<std::string> Value(const std::string& name) const;
    // Every value of an option given more than once, in order.
    std::vector<std::string> Values(const std::string& name) const;
    bool Flag(const std::string& name) const;
    // True when --help (or -h) was given.
    bool WantsHelp() const { return help_; }

    // An option's value as an integer; `error` says why when it is not one.
    std::optional<long long> Integer(const std::string& name, long long fallback,
                                     std::string& error) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::map<std::string, std::vector<std::string>> allValues_;
    std::map<std::string, bool> flags_;
    bool help_ = false;
};
