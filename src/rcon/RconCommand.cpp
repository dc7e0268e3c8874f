#include "RconCommand.h"

#include "PlayerGuid.h"

#include <algorithm>

namespace {

// The C0 controls and DEL.
bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7F';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr const char* kBadPasswordRefusal =
    "Not sent: the RCON password of this server holds a double quote or a control character.";

RconRequest Refuse(const char* why) {
    return RconRequest{{}, why};
}

// Why the values every command carries cannot be sent; nullptr when they can.
const char* CheckPasswordAndGuid(std::string_view password, std::string_view guid) {
    if (!IsSendablePassword(password)) {
        return kBadPasswordRefusal;
    }
    if (!IsSendableGuid(guid)) {
        return "Not sent: the GUID must be exactly 32 hexadecimal digits.";
    }
    return nullptr;
}

// Puts the prefix and the password part in front of `rest`, within the limit.
RconRequest Assemble(std::string_view password, std::string_view rest, const char* tooLong) {
    RconRequest request;
    request.datagram.reserve(RconRequest::kDatagramLimit);
    request.datagram.append(kRconPrefix);
    request.datagram.append("rcon \"");
    request.datagram.append(password);
    request.datagram.append("\" ");
    request.datagram.append(rest);
    if (request.datagram.size() > RconRequest::kDatagramLimit) {
        return Refuse(tooLong);
    }
    return request;
}

} // namespace

std::string MendQuotedText(std::string_view text) {
    std::string mended;
    mended.reserve(text.size());
    for (char c : text) {
        if (IsControl(c)) {
            continue;
        }
        mended.push_back(c == '"' ? '\'' : c);
    }
    return mended;
}

bool IsSendableGuid(std::string_view guid) {
    return IsPlayerGuid(guid);
}

bool IsSendableIpText(std::string_view ip) {
    // Four dot-separated numbers of one to three digits, none above 255.
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        int value = 0;
        while (i < ip.size() && IsDigit(ip[i]) && digits < 3) {
            value = value * 10 + (ip[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || value > 255) {
            return false;
        }
        ++parts;
        if (parts < 4) {
            if (i >= ip.size() || ip[i] != '.') {
                return false;
            }
            ++i;
        }
    }
    return i == ip.size();
}

bool IsSendablePassword(std::string_view password) {
    return std::none_of(password.begin(), password.end(),
                        [](char c) { return IsControl(c) || c == '"'; });
}

RconRequest FormatBanRequest(std::string_view password, std::string_view guid,
                             std::string_view name, std::string_view ip, std::string_view reason) {
    if (const char* why = CheckPasswordAndGuid(password, guid)) {
        return Refuse(why);
    }
    if (!IsSendableIpText(ip)) {
        return Refuse("Not sent: the IP address must be a dotted IPv4 address such as "
                      "192.0.2.7.");
    }
    std::string rest = "pb_sv_banguid ";
    rest.append(guid);
    rest.append(" \"");
    rest.append(MendQuotedText(name));
    rest.append("\" ");
    rest.append(ip);
    rest.append(" \"");
    rest.append(MendQuotedText(reason));
    rest.append("\"");
    return Assemble(password, rest,
                    "Not sent: the ban command is too long for one datagram; please enter a "
                    "shorter reason.");
}

RconRequest FormatUnbanRequest(std::string_view password, std::string_view guid) {
    if (const char* why = CheckPasswordAndGuid(password, guid)) {
        return Refuse(why);
    }
    std::string rest = "pb_sv_unbanguid ";
    rest.append(guid);
    return Assemble(password, rest, "Not sent: the unban command is too long for one datagram.");
}

RconRequest FormatCommandRequest(std::string_view password, std::string_view command) {
    if (!IsSendablePassword(password)) {
        return Refuse(kBadPasswordRefusal);
    }
    if (std::any_of(command.begin(), command.end(), IsControl)) {
        return Refuse("Not sent: the command holds a control character.");
    }
    if (command.find_first_not_of(' ') == std::string_view::npos) {
        return Refuse("Not sent: the command is empty.");
    }
    return Assemble(password, command,
                    "Not sent: the command is too long for one datagram (255 bytes with its "
                    "password).");
}
