#include "Userinfo.h"

#include "RconCommand.h"

std::string UserinfoValue(std::string_view text, std::string_view key) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.starts_with(key) || line.size() == key.size() || line[key.size()] != ' ') {
            continue;
        }
        std::string_view value = line.substr(key.size());
        while (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        while (!value.empty() && value.back() == ' ') {
            value.remove_suffix(1);
        }
        return std::string(value);
    }
    return {};
}

std::string UserinfoGuid(std::string_view text) {
    std::string guid = UserinfoValue(text, "cl_guid");
    return IsSendableGuid(guid) ? guid : std::string();
}
