#include "Arguments.h"

#include <algorithm>
#include <charconv>

std::optional<Arguments> Arguments::Parse(const std::vector<std::string>& words,
                                          const std::vector<std::string>& valueOptions,
                                          const std::vector<std::string>& flags,
                                          std::string& error) {
    Arguments result;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.rfind("--", 0) == 0) {
            const std::string name = word.substr(2);
            if (std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end()) {
                if (i + 1 >= words.size()) {
                    error = "option " + word + " needs a value";
                    return std::nullopt;
                }
                result.values_[name] = words[++i];
            } else if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
                result.flags_[name] = true;
            } else {
                error = "unknown option " + word;
                return std::nullopt;
            }
        } else {
            result.positional_.push_back(word);
        }
    }
    return result;
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool Arguments::Flag(const std::string& name) const { return flags_.count(name) != 0; }

std::optional<long long> Arguments::Integer(const std::string& name, long long fallback,
                                            std::string& error) const {
    const auto text = Value(name);
    if (!text) {
        return fallback;
    }
    long long value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || ptr != end) {
        error = "--" + name + " needs a whole number, not \"" + *text + "\"";
        return std::nullopt;
    }
    return value;
}
