// The recognition of game events in log lines. The walk passes each line once
// and keeps the player tables: the slots, the GUIDs and their names, and the
// history of the slots (SlotTimeline) with the slots chat names resolved to.
// A line's segments are laid whenever the line is read, from its bytes and
// that history, so that the store keeps nothing of a line but where it lies.
// Both passes run the same handlers, so that they cannot disagree on what a
// line holds.
#include "ColourCodes.h"
#include "EventText.h"
#include "LogClassifier.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

// What a slot held at the line: its team and its connection.
struct SlotAtLine {
    int team = 0;
    const ConnectionRecord* connection = nullptr;
};

// The walk's side of a line: it changes the tables and writes down what the
// reading side will need to know of them at this line.
class WalkSide {
public:
    WalkSide(PlayerSlotTable& slots, GuidTable& guids, AliasMemos& aliasMemos,
             SlotTimeline& timeline, ChatNameSlots& chatSlots, int line)
        : slots_(slots), guids_(guids), aliasMemos_(aliasMemos), timeline_(timeline),
          chatSlots_(chatSlots), line_(line) {}

    void Connect(int slot, std::string_view guid, std::string_view address) {
        slots_.SetConnection(slot, guid, address);
        Remember(slot);
    }
    const ConnectionRecord* UserInfo(int slot, std::string_view name, int team) {
        slots_.SetNameAndTeam(slot, name, team);
        Remember(slot);
        const ConnectionRecord* connection = slots_.Slot(slot).connection;
        if (connection != nullptr) {
            AliasMemo& memo = aliasMemos_[static_cast<std::size_t>(slot)];
            const FixedText<63> alias(name);
            if (memo.connection != connection || memo.name.view() != alias.view()) {
                guids_.AddAlias(connection->Guid(), name);
                memo = {connection, alias};
            }
        }
        return connection;
    }
    SlotAtLine At(int slot) const {
        const PlayerSlot& player = slots_.Slot(slot);
        return {player.team, player.connection};
    }
    // The slot the line's `which`th chat name matches now, kept for the line.
    std::optional<int> ChatSlot(int which, std::string_view name) {
        const auto slot = slots_.FindByName(name);
        if (slot) {
            chatSlots_.Set(line_, which, *slot);
        }
        return slot;
    }

private:
    void Remember(int slot) {
        const PlayerSlot& player = slots_.Slot(slot);
        timeline_.Record(slot, line_, {player.team, slots_.ConnectionIndex(slot)});
    }

    PlayerSlotTable& slots_;
    GuidTable& guids_;
    AliasMemos& aliasMemos_;
    SlotTimeline& timeline_;
    ChatNameSlots& chatSlots_;
    int line_;
};

// The reading side: the tables as they stood when the walk passed the line,
// from what the walk wrote down.
class ReadSide {
public:
    ReadSide(const PlayerSlotTable& slots, const SlotTimeline& timeline,
             const ChatNameSlots& chatSlots, int line)
        : slots_(slots), timeline_(timeline), chatSlots_(chatSlots), line_(line) {}

    void Connect(int, std::string_view, std::string_view) {}
    const ConnectionRecord* UserInfo(int slot, std::string_view, int) const {
        return At(slot).connection;
    }
    SlotAtLine At(int slot) const {
        const SlotState state = timeline_.At(slot, line_);
        return {state.team, state.connection == SlotState::kNoConnection
                                ? nullptr
                                : &slots_.Connection(state.connection)};
    }
    std::optional<int> ChatSlot(int which, std::string_view) const {
        const int slot = chatSlots_.Get(line_, which);
        return slot == ChatNameSlots::kNone ? std::nullopt : std::optional<int>(slot);
    }

private:
    const PlayerSlotTable& slots_;
    const SlotTimeline& timeline_;
    const ChatNameSlots& chatSlots_;
    int line_;
};

// One event line being cut into segments after its keyword.
class SegmentLayer {
public:
    SegmentLayer(LineView& line, const EventText& event) : line_(line), event_(event) {}

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
    LineView& line_;
    const EventText& event_;
    int used_ = 1; // segment 0 is the keyword
};

// The walk lays nothing.
class NoSegments {
public:
    explicit NoSegments(const EventText& event) : payload_(event.payload) {}
    std::string_view payload() const { return payload_; }
    void Lay(std::string_view, LineKind, const ConnectionRecord* = nullptr, bool = false) {}
    void LayMeasured(std::string_view, LineKind, const ConnectionRecord*) {}

private:
    std::string_view payload_;
};

// What a handler works with.
template <class Layer, class Side> struct Recognition {
    Layer& layer;
    Side& side;
    const EventPatterns& patterns;
    PatternGroups& groups;

    std::string_view Group(int n) const { return groups[n]; }
};

// A chat line's sender or receiver, resolved against the slots.
struct ChatName {
    LineKind kind = LineKind::Unparsed;
    const ConnectionRecord* player = nullptr;
};

// How a chat handler colours its names and message. No name kind means "by
// the matching slot's team".
struct ChatStyle {
    std::optional<LineKind> nameKind;
    LineKind messageKind;
};

constexpr ChatStyle kSay{std::nullopt, LineKind::Say};
constexpr ChatStyle kSayTeam{std::nullopt, LineKind::TeamSay};
constexpr ChatStyle kTell{std::nullopt, LineKind::Tell};
constexpr ChatStyle kAdminChat{LineKind::AdminChatName, LineKind::AdminChat};
constexpr ChatStyle kAdminTell{LineKind::AdminTellName, LineKind::AdminTell};

template <class Side>
ChatName ResolveName(Side& side, int which, std::string_view name, ChatStyle style) {
    const auto slot = side.ChatSlot(which, name);
    if (!slot) {
        return {};
    }
    const SlotAtLine player = side.At(*slot);
    return {style.nameKind.value_or(TeamNameKind(player.team)), player.connection};
}

template <class R> bool HandleConnect(R& r) {
    if (!r.patterns.MatchConnection(r.layer.payload(), r.groups)) {
        return false;
    }
    const long long slot = ReadDecimal(r.Group(1));
    if (!PlayerSlotTable::IsSlot(slot)) {
        return false;
    }
    r.side.Connect(static_cast<int>(slot), r.Group(3), r.Group(2));
    r.layer.Lay(r.Group(1), LineKind::SlotNumber);
    r.layer.Lay(r.Group(2), LineKind::Address);
    r.layer.Lay(r.Group(3), LineKind::Guid);
    return true;
}

template <class R> bool HandleUserInfo(R& r) {
    if (!r.patterns.MatchUserInfo(r.layer.payload(), r.groups)) {
        return false;
    }
    const long long slot = ReadDecimal(r.Group(1));
    if (!PlayerSlotTable::IsSlot(slot)) {
        return false;
    }
    const std::string_view name = r.Group(2);
    const int team = r.Group(3).front() - '0';
    const ConnectionRecord* connection = r.side.UserInfo(static_cast<int>(slot), name, team);
    r.layer.Lay(r.Group(1), LineKind::SlotNumber);
    r.layer.LayMeasured(name, TeamNameKind(team), connection);
    r.layer.Lay(r.Group(3), LineKind::TeamDigit);
    return true;
}

template <class R> bool HandleKill(R& r) {
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
        const SlotAtLine player = r.side.At(static_cast<int>(slot));
        return {TeamNameKind(player.team), player.connection};
    };
    const ChatName killer = nameOf(1);
    const ChatName victim = nameOf(2);
    r.layer.Lay(r.Group(1), LineKind::SlotNumber);
    r.layer.Lay(r.Group(2), LineKind::SlotNumber);
    r.layer.Lay(r.Group(3), LineKind::KillMeans);
    r.layer.LayMeasured(r.Group(4), killer.kind, killer.player);
    r.layer.LayMeasured(r.Group(5), victim.kind, victim.player);
    r.layer.Lay(r.Group(6), LineKind::KillMeans);
    return true;
}

// say, sayteam, admchat, admtalk: "name: message".
template <class R> bool HandleChat(R& r, ChatStyle style) {
    const std::string_view payload = r.layer.payload();
    const std::size_t colon = payload.find(": ");
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view name = payload.substr(0, colon);
    const ChatName sender = ResolveName(r.side, 0, name, style);
    r.layer.LayMeasured(name, sender.kind, sender.player);
    r.layer.LayMeasured(payload.substr(colon + 2), style.messageKind, nullptr);
    return true;
}

// tell, admtell: "sender to receiver: message". A " to " after the first
// ": " leaves no receiver between them, so such a payload does not parse.
template <class R> bool HandleTell(R& r, ChatStyle style) {
    const std::string_view payload = r.layer.payload();
    const std::size_t colon = payload.find(": ");
    const std::size_t to = payload.find(" to ");
    if (colon == std::string_view::npos || to == std::string_view::npos || to > colon) {
        return false;
    }
    const std::string_view senderName = payload.substr(0, to);
    const std::string_view receiverName = payload.substr(to + 4, colon - (to + 4));
    const ChatName sender = ResolveName(r.side, 0, senderName, style);
    const ChatName receiver = ResolveName(r.side, 1, receiverName, style);
    r.layer.LayMeasured(senderName, sender.kind, sender.player);
    r.layer.LayMeasured(receiverName, receiver.kind, receiver.player);
    r.layer.LayMeasured(payload.substr(colon + 2), style.messageKind, nullptr);
    return true;
}

// The known keywords in the order they are tried: ClientConnect,
// ClientUserinfoChanged, Kill, say, sayteam, tell, admchat, admtalk, admtell.
// A keyword goes to the first word it is the beginning of; an empty one to
// the first of all.
enum class Handler { None, Connect, UserInfo, Kill, Say, SayTeam, Tell, AdminChat, AdminTell };

Handler HandlerFor(std::string_view keyword) {
    struct Word {
        std::string_view word;
        Handler handler;
    };
    static constexpr Word kCapitalC[] = {{kConnectKeyword, Handler::Connect},
                                         {kUserinfoKeyword, Handler::UserInfo}};
    static constexpr Word kCapitalK[] = {{kKillKeyword, Handler::Kill}};
    static constexpr Word kSmallS[] = {{kSayKeyword, Handler::Say},
                                       {kSayTeamKeyword, Handler::SayTeam}};
    static constexpr Word kSmallT[] = {{kTellKeyword, Handler::Tell}};
    static constexpr Word kSmallA[] = {{kAdminChatKeyword, Handler::AdminChat},
                                       {kAdminTalkKeyword, Handler::AdminChat},
                                       {kAdminTellKeyword, Handler::AdminTell}};
    if (keyword.empty()) {
        return Handler::Connect;
    }
    // Most lines of a log carry other keywords: their first byte settles
    // them, and leaves at most three words to compare with the rest.
    const auto first = [keyword](const auto& words) {
        for (const Word& known : words) {
            if (KeywordAgrees(keyword, known.word)) {
                return known.handler;
            }
        }
        return Handler::None;
    };
    switch (keyword.front()) {
    case 'C':
        return first(kCapitalC);
    case 'K':
        return first(kCapitalK);
    case 's':
        return first(kSmallS);
    case 't':
        return first(kSmallT);
    case 'a':
        return first(kSmallA);
    default:
        return Handler::None;
    }
}

template <class R> bool RunHandler(Handler handler, R& r) {
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

// An event line whose keyword is all there is to show: the rest is plain.
void SetKeywordOnly(LineView& line, const EventText& event, LineKind kind) {
    SetSegment(line.segments[0], event.keywordOffset, static_cast<int>(event.keyword.size()), kind,
               nullptr);
    line.segments[1].SetEndMark();
    ComputeVisiblePositions(line);
}

} // namespace

// Only the lines that change the tables or resolve a chat name matter to
// the walk; a kill names slots but changes nothing.
void LogClassifier::WalkLine(int i, std::string_view text, int eventTextOffset) {
    // The keyword's first byte rules out most lines at once: only the
    // keywords of connections, user info and chat start with these (and a
    // colon right after the stamp is an empty keyword, a connection).
    const auto first = static_cast<std::size_t>(eventTextOffset);
    if (text.size() <= first) {
        return;
    }
    switch (text[first]) {
    case 'C':
    case 's':
    case 't':
    case 'a':
    case ':':
        break;
    default:
        return;
    }
    const auto event = EventTextInPlace(text, eventTextOffset);
    if (!event) {
        return;
    }
    const Handler handler = HandlerFor(event->keyword);
    if (handler == Handler::None || handler == Handler::Kill) {
        return;
    }
    NoSegments layer(*event);
    WalkSide side(*playerSlots_, *guidTable_, aliasMemos_, timeline_, chatSlots_, i);
    Recognition<NoSegments, WalkSide> recognition{layer, side, patterns_, eventGroups_};
    RunHandler(handler, recognition);
}

void LogClassifier::ClassifyUpTo(const LogStore& store, int end) {
    const int offset = store.eventTextOffset();
    int i = classifiedCount_;
    try {
        for (; i < end; ++i) {
            WalkLine(i, store.LineText(i), offset);
        }
    } catch (...) {
        classifiedCount_ = i;
        throw;
    }
    classifiedCount_ = std::max(classifiedCount_, end);
}

// Every line first becomes plain text, then, when it holds an event, its
// keyword and whatever its handler lays after it.
void LogClassifier::LaySegments(int i, LineView& line, int eventTextOffset) const {
    const auto event = EventTextInPlace(line.Text(), eventTextOffset);
    if (!event) {
        SetPlainSegments(line);
        return;
    }
    const Handler handler = HandlerFor(event->keyword);
    if (handler == Handler::None) {
        SetKeywordOnly(line, *event, LineKind::Keyword);
        return;
    }
    SetSegment(line.segments[0], event->keywordOffset, static_cast<int>(event->keyword.size()),
               LineKind::Keyword, nullptr);
    SegmentLayer layer(line, *event);
    ReadSide side(*playerSlots_, timeline_, chatSlots_, i);
    PatternGroups groups;
    Recognition<SegmentLayer, ReadSide> recognition{layer, side, patterns_, groups};
    if (!RunHandler(handler, recognition)) {
        // Handlers fail before they lay anything or touch the tables.
        SetKeywordOnly(line, *event, LineKind::Unparsed);
        return;
    }
    layer.Finish();
    ComputeVisiblePositions(line);
}

namespace {

// For telling which event a line holds: whether a handler takes a line does
// not depend on the tables, so none are read or changed.
class NoTables {
public:
    void Connect(int, std::string_view, std::string_view) {}
    const ConnectionRecord* UserInfo(int, std::string_view, int) const { return nullptr; }
    SlotAtLine At(int) const { return {}; }
    std::optional<int> ChatSlot(int, std::string_view) const { return std::nullopt; }
};

LineEvent EventOf(Handler handler) {
    switch (handler) {
    case Handler::Connect:
        return LineEvent::Connect;
    case Handler::UserInfo:
        return LineEvent::Rename;
    case Handler::Kill:
        return LineEvent::Kill;
    case Handler::Say:
    case Handler::SayTeam:
    case Handler::Tell:
    case Handler::AdminChat:
    case Handler::AdminTell:
        return LineEvent::Chat;
    case Handler::None:
        break;
    }
    return LineEvent::None;
}

} // namespace

LineEvent LogClassifier::RecognisedEvent(std::string_view text, int eventTextOffset) const {
    const auto event = EventTextInPlace(text, eventTextOffset);
    if (!event) {
        return LineEvent::None;
    }
    const Handler handler = HandlerFor(event->keyword);
    if (handler == Handler::None) {
        return LineEvent::None;
    }
    NoSegments layer(*event);
    NoTables side;
    PatternGroups groups;
    Recognition<NoSegments, NoTables> recognition{layer, side, patterns_, groups};
    return RunHandler(handler, recognition) ? EventOf(handler) : LineEvent::None;
}
