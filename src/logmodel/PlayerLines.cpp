#include "PlayerLines.h"

#include "EventPatterns.h"
#include "EventText.h"
#include "LogModel.h"

#include <algorithm>

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&lower](char x, char y) { return lower(x) == lower(y); });
}

// The killer's and the victim's numbers of a line whose keyword is the kill
// keyword (or its beginning), or nothing.
std::optional<std::pair<long long, long long>> KillNumbers(std::string_view text, int offset) {
    const auto first = static_cast<std::size_t>(offset);
    if (text.size() <= first || text[first] != kKillKeyword.front()) {
        return std::nullopt;
    }
    const auto event = EventTextInPlace(text, offset);
    if (!event || event->keyword.empty() || !KeywordAgrees(event->keyword, kKillKeyword)) {
        return std::nullopt;
    }
    const std::string_view payload = event->payload;
    const std::size_t blank = payload.find(' ');
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    return std::make_pair(ReadDecimal(payload.substr(0, blank)),
                          ReadDecimal(payload.substr(blank + 1)));
}

} // namespace

PlayerLines::PlayerLines(std::string guid) : guid_(std::move(guid)) {}

bool PlayerLines::SameGuid(std::string_view guid) const {
    return SameLetters(guid, guid_);
}

void PlayerLines::Collect(const LogModel& model, int first, int end, LineSet& into) {
    const PlayerSlotTable& slots = model.playerSlots();
    for (auto i = static_cast<long long>(his_.size()); i < slots.connectionCount(); ++i) {
        his_.push_back(SameGuid(slots.Connection(static_cast<std::int32_t>(i)).Guid()) ? 1 : 0);
    }
    if (std::find(his_.begin(), his_.end(), 1) == his_.end()) {
        return;
    }
    for (int slot = 0; slot < SlotTimeline::kSlotCount; ++slot) {
        CollectSlot(model, slot, first, end, into);
    }
}

// Over [first, end), the stretches of lines in which the slot held one of
// his connections.
void PlayerLines::CollectSlot(const LogModel& model, int slot, int first, int end,
                              LineSet& into) const {
    const auto changes = model.slotTimeline().Changes(slot);
    // The changes before `first` say what the slot holds there; one at
    // `first` is met below, as its line is one of the slot's.
    auto next = std::lower_bound(
        changes.begin(), changes.end(), first,
        [](const SlotTimeline::Change& change, int line) { return change.line < line; });
    SlotState state = next == changes.begin() ? SlotState{} : std::prev(next)->state;
    const ChatNameSlots& chatSlots = model.chatNameSlots();
    const int offset = model.eventTextOffset();
    int from = first;
    for (;;) {
        const int to = next == changes.end() || next->line >= end ? end : next->line;
        if (IsHis(state.connection)) {
            for (int i = from; i < to; ++i) {
                if (chatSlots.Get(i, 0) == slot || chatSlots.Get(i, 1) == slot) {
                    into.Add(i);
                    continue;
                }
                const auto kill = KillNumbers(model.LineText(i), offset);
                if (!kill || (kill->first != slot && kill->second != slot)) {
                    continue;
                }
                // The numbers say it may be his; the laid stretches say it is.
                const LineView line = model.Line(i);
                for (const LineSegment& segment : line.segments) {
                    if (segment.kind() == LineKind::EndMark) {
                        break;
                    }
                    if (segment.player != nullptr && SameGuid(segment.player->Guid())) {
                        into.Add(i);
                        break;
                    }
                }
            }
        }
        if (to == end) {
            return;
        }
        // The line that changed the slot: a ClientConnect or a
        // ClientUserinfoChanged line of whoever holds it from there on.
        state = next->state;
        if (IsHis(state.connection)) {
            into.Add(next->line);
        }
        from = next->line;
        ++next;
    }
}
