// The recognition of game events in log lines: each event line is cut into
// typed segments, and the player tables follow the slots and GUIDs it names.
#include "ColourCodes.h"
#include "LogModel.h"

#include <string_view>

namespace {

// Segment kinds laid by the recognisers.
constexpr LineKind kUnparsed = 0; // keyword of a payload that did not parse; unknown chat name
constexpr LineKind kKeyword = 2;
constexpr LineKind kTeamNameBase = 3; // 3 + team digit
constexpr LineKind kSlotNumber = 10;
constexpr LineKind kAddress = 11;
constexpr LineKind kGuid = 12;
constexpr LineKind kTeamDigit = 13;
constexpr LineKind kKillMeans = 14;

LineKind TeamNameKind(int team) {
    return static_cast<LineKind>(kTeamNameBase + team);
}

// One event line being cut into segments after its keyword.
class SegmentLayer {
public:
    SegmentLayer(LogLine& line, const EventText& event) : line_(line), event_(event) {}

    std::string_view payload() const { return event_.payload; }

    // Lays the next segment over `text`, a part of the payload. Measured
    // segments count their colour codes when their kind is caret-measured.
    void Lay(std::string_view text, LineKind kind, const ConnectionRecord* player = nullptr,
             bool measured = false) {
        if (used_ >= kSegmentsPerLine) {
            return; // the recognisers never lay more than fit
        }
        const auto offset = static_cast<int>(text.data() - event_.payload.data());
        LineSegment& segment = line_.segments[static_cast<std::size_t>(used_++)];
        SetSegment(segment, event_.payloadOffset + offset, static_cast<int>(text.size()), kind,
                   measured ? text.data() : nullptr);
        segment.player = player;
    }
    void LayMeasured(std::string_view text, LineKind kind, const ConnectionRecord* player) {
        Lay(text, kind, player, true);
    }

    void Finish() {
        if (used_ < kSegmentsPerLine) {
            line_.segments[static_cast<std::size_t>(used_)].SetEndMark();
        }
    }

private:
    LogLine& line_;
    const EventText& event_;
    int used_ = 1; // segment 0 is the keyword
};

// What a handler works with.
struct Recognition {
    SegmentLayer& layer;
    PlayerSlotTable& slots;
    GuidTable& guids;
    const EventPatterns& patterns;
    PatternGroups& groups;

    std::string_view Group(int n) const { return groups[n]; }
};

// A chat line's sender or receiver, resolved against the slots as they stand.
struct ChatName {
    LineKind kind = kUnparsed;
    const ConnectionRecord* player = nullptr;
};

// How a chat handler colours its names and message. A name kind of 0 means
// "by the matching slot's team".
struct ChatStyle {
    LineKind nameKind;
    LineKind messageKind;
};

constexpr ChatStyle kSay{0, 15};
constexpr ChatStyle kSayTeam{0, 16};
constexpr ChatStyle kTell{0, 17};
constexpr ChatStyle kAdminChat{7, 18};
constexpr ChatStyle kAdminTell{9, 20};

ChatName ResolveName(const PlayerSlotTable& slots, std::string_view name, ChatStyle style) {
    const auto slot = slots.FindByName(name);
    if (!slot) {
        return {};
    }
    const PlayerSlot& player = slots.Slot(*slot);
    return {style.nameKind != 0 ? style.nameKind : TeamNameKind(player.team), player.connection};
}

bool HandleConnect(Recognition& r) {
    if (!r.patterns.MatchConnection(r.layer.payload(), r.groups)) {
        return false;
    }
    const long long slot = ReadDecimal(r.Group(1));
    if (!PlayerSlotTable::IsSlot(slot)) {
        return false;
    }
    r.slots.SetConnection(static_cast<int>(slot), r.Group(3), r.Group(2));
    r.layer.Lay(r.Group(1), kSlotNumber);
    r.layer.Lay(r.Group(2), kAddress);
    r.layer.Lay(r.Group(3), kGuid);
    return true;
}

bool HandleUserInfo(Recognition& r) {
    if (!r.patterns.MatchUserInfo(r.layer.payload(), r.groups)) {
        return false;
    }
    const long long slot = ReadDecimal(r.Group(1));
    if (!PlayerSlotTable::IsSlot(slot)) {
        return false;
    }
    const std::string_view name = r.Group(2);
    const int team = r.Group(3).front() - '0';
    r.slots.SetNameAndTeam(static_cast<int>(slot), name, team);
    const ConnectionRecord* connection = r.slots.Slot(static_cast<int>(slot)).connection;
    r.layer.Lay(r.Group(1), kSlotNumber);
    r.layer.LayMeasured(name, TeamNameKind(team), connection);
    r.layer.Lay(r.Group(3), kTeamDigit);
    if (connection != nullptr) {
        r.guids.AddAlias(connection->Guid(), name);
    }
    return true;
}

bool HandleKill(Recognition& r) {
    if (!r.patterns.MatchKill(r.layer.payload(), r.groups)) {
        return false;
    }
    // Any number that is not a slot (world kills use one) gives team 0 and
    // no player link.
    const auto nameOf = [&r](int group) -> ChatName {
        const long long slot = ReadDecimal(r.Group(group));
        if (!PlayerSlotTable::IsSlot(slot)) {
            return {TeamNameKind(0), nullptr};
        }
        const PlayerSlot& player = r.slots.Slot(static_cast<int>(slot));
        return {TeamNameKind(player.team), player.connection};
    };
    const ChatName killer = nameOf(1);
    const ChatName victim = nameOf(2);
    r.layer.Lay(r.Group(1), kSlotNumber);
    r.layer.Lay(r.Group(2), kSlotNumber);
    r.layer.Lay(r.Group(3), kKillMeans);
    r.layer.LayMeasured(r.Group(4), killer.kind, killer.player);
    r.layer.LayMeasured(r.Group(5), victim.kind, victim.player);
    r.layer.Lay(r.Group(6), kKillMeans);
    return true;
}

// say, sayteam, admchat, admtalk: "name: message".
bool HandleChat(Recognition& r, ChatStyle style) {
    const std::string_view payload = r.layer.payload();
    const std::size_t colon = payload.find(": ");
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view name = payload.substr(0, colon);
    const ChatName sender = ResolveName(r.slots, name, style);
    r.layer.LayMeasured(name, sender.kind, sender.player);
    r.layer.LayMeasured(payload.substr(colon + 2), style.messageKind, nullptr);
    return true;
}

// tell, admtell: "sender to receiver: message". A " to " after the first
// ": " leaves no receiver between them, so such a payload does not parse.
bool HandleTell(Recognition& r, ChatStyle style) {
    const std::string_view payload = r.layer.payload();
    const std::size_t colon = payload.find(": ");
    const std::size_t to = payload.find(" to ");
    if (colon == std::string_view::npos || to == std::string_view::npos || to > colon) {
        return false;
    }
    const std::string_view senderName = payload.substr(0, to);
    const std::string_view receiverName = payload.substr(to + 4, colon - (to + 4));
    const ChatName sender = ResolveName(r.slots, senderName, style);
    const ChatName receiver = ResolveName(r.slots, receiverName, style);
    r.layer.LayMeasured(senderName, sender.kind, sender.player);
    r.layer.LayMeasured(receiverName, receiver.kind, receiver.player);
    r.layer.LayMeasured(payload.substr(colon + 2), style.messageKind, nullptr);
    return true;
}

// The known keywords in the order they are tried. A keyword goes to the
// first word it is the beginning of.
enum class Handler { None, Connect, UserInfo, Kill, Say, SayTeam, Tell, AdminChat, AdminTell };

Handler HandlerFor(std::string_view keyword) {
    static constexpr struct {
        std::string_view word;
        Handler handler;
    } kWords[] = {
        {"ClientConnect", Handler::Connect},
        {"ClientUserinfoChanged", Handler::UserInfo},
        {"Kill", Handler::Kill},
        {"say", Handler::Say},
        {"sayteam", Handler::SayTeam},
        {"tell", Handler::Tell},
        {"admchat", Handler::AdminChat},
        {"admtalk", Handler::AdminChat},
        {"admtell", Handler::AdminTell},
    };
    if (keyword.empty()) {
        return kWords[0].handler;
    }
    // Most lines of a log carry other keywords; their first byte rules out
    // every word without a full comparison.
    for (const auto& known : kWords) {
        if (known.word.front() == keyword.front() && KeywordAgrees(keyword, known.word)) {
            return known.handler;
        }
    }
    return Handler::None;
}

bool RunHandler(Handler handler, Recognition& r) {
    switch (handler) {
    case Handler::Connect:
        return HandleConnect(r);
    case Handler::UserInfo:
        return HandleUserInfo(r);
    case Handler::Kill:
        return HandleKill(r);
    case Handler::Say:
        return HandleChat(r, kSay);
    case Handler::SayTeam:
        return HandleChat(r, kSayTeam);
    case Handler::Tell:
        return HandleTell(r, kTell);
    case Handler::AdminChat:
        return HandleChat(r, kAdminChat);
    case Handler::AdminTell:
        return HandleTell(r, kAdminTell);
    case Handler::None:
        break;
    }
    return false;
}

// A line that holds no event: one plain segment over it all. Lines longer
// than the 12-bit fields get it clamped to 4095 bytes; the view draws the
// rest plain.
void SetPlainLine(LogLine& line) {
    line.visibleLength = LayPlainLine(line.segments, line.byteLength);
}

// An event line whose keyword is all there is to show: the rest is plain.
void SetKeywordOnly(LogLine& line, const EventText& event, LineKind kind) {
    SetSegment(line.segments[0], event.keywordOffset, static_cast<int>(event.keyword.size()), kind,
               nullptr);
    line.segments[1].SetEndMark();
    ComputeVisiblePositions(line);
}

} // namespace

// Every line first becomes plain text, then, when it holds an event, its
// keyword and whatever its handler lays after it. Each record is written
// once, in its final form.
void LogModel::ClassifyLine(int i) {
    LogLine& line = lines_.Line(i);
    const auto event = CutEventText(LineText(i), eventText_, eventTextOffset_);
    if (!event) {
        SetPlainLine(line);
        return;
    }
    const Handler handler = HandlerFor(event->keyword);
    if (handler == Handler::None) {
        SetKeywordOnly(line, *event, kKeyword);
        return;
    }
    SetSegment(line.segments[0], event->keywordOffset, static_cast<int>(event->keyword.size()),
               kKeyword, nullptr);
    SegmentLayer layer(line, *event);
    Recognition recognition{layer, *playerSlots_, *guidTable_, patterns_, eventGroups_};
    if (!RunHandler(handler, recognition)) {
        // Handlers fail before they lay anything or touch the tables.
        SetKeywordOnly(line, *event, kUnparsed);
        return;
    }
    layer.Finish();
    ComputeVisiblePositions(line);
}
