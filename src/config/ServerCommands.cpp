#include "ServerCommands.h"

#include "ConfigLine.h"
#include "ConfigValues.h"

#include <algorithm>

namespace {

struct CommandTraits {
    ServerCommand command;
    std::string_view key;
    std::string_view defaultTemplate;
    std::string_view placeholders; // what the command may hold, as the message lists them
};

constexpr std::array<CommandTraits, 4> kTraits = {{
    {ServerCommand::Kick, "kick", "clientkick {slot}", "{slot}, {pbslot}, {reason}"},
    {ServerCommand::TempKick, "tempkick", "pb_sv_kick {pbslot} {minutes} \"{reason}\"",
     "{slot}, {pbslot}, {minutes}, {reason}"},
    {ServerCommand::Say, "say", "say {text}", "{text}"},
    {ServerCommand::Userinfo, "userinfo", "dumpuser {slot}", "{slot}, {pbslot}"},
}};

const CommandTraits& TraitsOf(ServerCommand command) {
    return *std::find_if(kTraits.begin(), kTraits.end(),
                         [&](const CommandTraits& t) { return t.command == command; });
}

bool IsPlaceholderChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// The placeholder "{word}" starting at `at` (a '{'): its length with the
// braces, or 0 when the brace opens none.
std::size_t PlaceholderLength(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && IsPlaceholderChar(text[end])) {
        ++end;
    }
    return end > at + 1 && end < text.size() && text[end] == '}' ? end - at + 1 : 0;
}

// Calls `each(name)` for every placeholder of the template, in order, and
// `plain(text)` for the text between them; stops at the first false.
template <typename Plain, typename Each>
bool ForEachPlaceholder(std::string_view text, Plain plain, Each each) {
    std::size_t from = 0;
    for (std::size_t at = text.find('{'); at != std::string_view::npos;
         at = text.find('{', at + 1)) {
        const std::size_t length = PlaceholderLength(text, at);
        if (length == 0) {
            continue;
        }
        plain(text.substr(from, at - from));
        if (!each(text.substr(at + 1, length - 2))) {
            return false;
        }
        from = at + length;
        at = from - 1;
    }
    plain(text.substr(from));
    return true;
}

std::string MendAdminText(std::string_view text) {
    std::string mended;
    for (const char c : text) {
        if (!IsControl(c)) {
            mended += c == '"' ? '\'' : c;
        }
    }
    return mended;
}

} // namespace

std::string_view ServerCommandKey(ServerCommand command) {
    return TraitsOf(command).key;
}

std::optional<ServerCommand> ServerCommandOfKey(std::string_view key) {
    for (const CommandTraits& traits : kTraits) {
        if (SameConfigName(key, traits.key)) {
            return traits.command;
        }
    }
    return std::nullopt;
}

std::string_view DefaultCommandTemplate(ServerCommand command) {
    return TraitsOf(command).defaultTemplate;
}

std::string& ServerCommands::Template(ServerCommand command) {
    switch (command) {
    case ServerCommand::Kick:
        return kick;
    case ServerCommand::TempKick:
        return tempkick;
    case ServerCommand::Say:
        return say;
    case ServerCommand::Userinfo:
        break;
    }
    return userinfo;
}

const std::string& ServerCommands::Template(ServerCommand command) const {
    return const_cast<ServerCommands*>(this)->Template(command);
}

std::string CheckCommandTemplate(ServerCommand command, std::string_view text) {
    const CommandTraits& traits = TraitsOf(command);
    const std::string key = "\"" + std::string(traits.key) + "\"";
    if (text.size() > kCommandTemplateLimit) {
        return "the value of " + key + " is longer than " + std::to_string(kCommandTemplateLimit) +
               " characters";
    }
    if (std::any_of(text.begin(), text.end(), IsControl)) {
        return key + " holds a control character";
    }
    std::string unknown;
    ForEachPlaceholder(
        text, [](std::string_view) {},
        [&](std::string_view name) {
            const std::string placeholder = "{" + std::string(name) + "}";
            if (traits.placeholders.find(placeholder) == std::string_view::npos) {
                unknown = placeholder;
                return false;
            }
            return true;
        });
    if (!unknown.empty()) {
        return key + " takes only the placeholders " + std::string(traits.placeholders) + ", not " +
               unknown;
    }
    return {};
}

ExpandedCommand ExpandServerCommand(std::string_view templateText, const CommandValues& values) {
    ExpandedCommand result;
    const auto need = [&](const auto& value, std::string_view name) {
        if (!value) {
            result.error = "The command needs a value for {" + std::string(name) + "}.";
        }
        return value.has_value();
    };
    const bool done = ForEachPlaceholder(
        templateText, [&](std::string_view plain) { result.command += plain; },
        [&](std::string_view name) {
            if (name == "slot" || name == "pbslot") {
                if (!need(values.slot, name)) {
                    return false;
                }
                if (*values.slot < 0) {
                    result.error = "A slot number cannot be negative.";
                    return false;
                }
                result.command += std::to_string(static_cast<long long>(*values.slot) +
                                                 (name == "pbslot" ? 1 : 0));
            } else if (name == "minutes") {
                if (!need(values.minutes, name)) {
                    return false;
                }
                if (*values.minutes < 1) {
                    result.error = "A temporary kick lasts one minute or more.";
                    return false;
                }
                result.command += std::to_string(*values.minutes);
            } else if (name == "reason" || name == "text") {
                const auto& value = name == "reason" ? values.reason : values.text;
                if (!need(value, name)) {
                    return false;
                }
                result.command += MendAdminText(*value);
            } else {
                result.error =
                    "The command holds an unknown placeholder {" + std::string(name) + "}.";
                return false;
            }
            return true;
        });
    if (!done) {
        result.command.clear();
    }
    return result;
}
