// The RCON datagram builder and the reply classifier over any values: no
// datagram over 255 bytes, none carrying a quote or a control byte from the
// name or the reason, the GUID and IP only as checked; any reply classifies
// to one of the result codes.
//
// Input: five values separated by NUL bytes (password, GUID, name, IP,
// reason); the whole input is also classified as a reply.
#include "FuzzCheck.h"
#include "RconCodes.h"
#include "RconCommand.h"
#include "ReplyClassifier.h"

#include <algorithm>
#include <string_view>
#include <tuple>
#include <vector>

using enum RconResult;

namespace {

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7F';
}

// The quoted argument after `after` (the datagram holds each once).
std::string_view Quoted(std::string_view datagram, std::size_t from) {
    const std::size_t open = datagram.find('"', from);
    FUZZ_CHECK(open != std::string_view::npos);
    const std::size_t close = datagram.find('"', open + 1);
    FUZZ_CHECK(close != std::string_view::npos);
    return datagram.substr(open + 1, close - open - 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> values;
    std::size_t from = 0;
    while (values.size() < 4) {
        const std::size_t nul = input.find('\0', from);
        if (nul == std::string_view::npos) {
            break;
        }
        values.push_back(input.substr(from, nul - from));
        from = nul + 1;
    }
    values.push_back(input.substr(std::min(from, input.size())));
    values.resize(5);
    const auto [password, guid, name, ip, reason] =
        std::tuple(values[0], values[1], values[2], values[3], values[4]);

    const RconRequest ban = FormatBanRequest(password, guid, name, ip, reason);
    if (ban.sendable()) {
        FUZZ_CHECK(ban.datagram.size() <= RconRequest::kDatagramLimit);
        FUZZ_CHECK(ban.datagram.starts_with(kRconPrefix));
        FUZZ_CHECK(IsSendableGuid(guid) && IsSendableIpText(ip) && IsSendablePassword(password));
        const std::string_view text = std::string_view(ban.datagram).substr(4);
        // rcon "pw" pb_sv_banguid GUID "name" IP "reason": exactly six quotes.
        FUZZ_CHECK(std::count(text.begin(), text.end(), '"') == 6);
        for (char c : text) {
            FUZZ_CHECK(!IsControl(c));
        }
        const std::size_t afterGuid = text.find(guid, text.find("pb_sv_banguid "));
        FUZZ_CHECK(afterGuid != std::string_view::npos);
        (void)Quoted(text, afterGuid);
    } else {
        FUZZ_CHECK(ban.datagram.empty() && !ban.refusal.empty());
    }
    const RconRequest unban = FormatUnbanRequest(password, guid);
    if (unban.sendable()) {
        FUZZ_CHECK(unban.datagram.size() <= RconRequest::kDatagramLimit);
        for (char c : std::string_view(unban.datagram).substr(4)) {
            FUZZ_CHECK(!IsControl(c));
        }
    }
    for (const ReplyPhrases* phrases : {&kBanPhrases, &kUnbanPhrases}) {
        const RconResult result = ClassifyReply(input, *phrases);
        FUZZ_CHECK(result == RCON_DONE || result == RCON_REFUSED || result == RCON_BAD_PASSWORD ||
                   result == RCON_BAD_REPLY);
    }
    return 0;
}
