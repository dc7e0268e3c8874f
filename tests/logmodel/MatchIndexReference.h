#pragma once

// A plain reading of what a filter takes, line by line, with no shortcut:
// the reference the match index is held to.
#include "ColourCodes.h"
#include "LineFilter.h"
#include "LogModel.h"

#include <boost/regex.hpp>
#include <set>
#include <string>
#include <string_view>

namespace reference {

// The expression as the search compiles it, written out again.
inline boost::regex Expression(const TextCriterion& text) {
    boost::regex::flag_type flags = text.regExp ? boost::regex::normal : boost::regex::literal;
    if (!text.caseSensitive) {
        flags |= boost::regex::icase;
    }
    return boost::regex(text.text, flags);
}

inline bool TextTakes(const LogModel& model, int i, const boost::regex& expression) {
    std::string buffer;
    const std::string visible(LineVisibleText(model.Line(i), buffer));
    return boost::regex_search(visible, expression);
}

// The event of a line, read from its laid stretches.
inline bool KindTakes(const LogModel& model, int i, const EventKinds& kinds) {
    const LineView line = model.Line(i);
    bool chat = false;
    bool kill = false;
    bool connect = false;
    bool rename = false;
    for (const LineSegment& segment : line.segments) {
        const LineKind kind = segment.kind();
        if (kind == LineKind::EndMark) {
            break;
        }
        chat = chat || (KindNumber(kind) >= KindNumber(LineKind::Say) &&
                        KindNumber(kind) <= KindNumber(LineKind::AdminTell));
        kill = kill || kind == LineKind::KillMeans;
        connect = connect || kind == LineKind::Guid;
        rename = rename || kind == LineKind::TeamDigit;
    }
    return (chat && kinds.Has(LineEvent::Chat)) || (kill && kinds.Has(LineEvent::Kill)) ||
           (connect && kinds.Has(LineEvent::Connect)) || (rename && kinds.Has(LineEvent::Rename));
}

inline bool SameGuid(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// A stretch names his connection, or the line connects his GUID.
inline bool PlayerTakes(const LogModel& model, int i, std::string_view guid) {
    const LineView line = model.Line(i);
    for (const LineSegment& segment : line.segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        if (segment.player != nullptr && SameGuid(segment.player->Guid(), guid)) {
            return true;
        }
        if (segment.kind() == LineKind::Guid &&
            SameGuid(line.Text().substr(static_cast<std::size_t>(segment.start()),
                                        static_cast<std::size_t>(segment.length())),
                     guid)) {
            return true;
        }
    }
    return false;
}

// Every line of a classified model the filter takes.
inline std::set<int> Hits(const LogModel& model, const LineFilter& filter) {
    std::optional<boost::regex> expression;
    if (filter.text) {
        expression = Expression(*filter.text);
    }
    std::set<int> hits;
    for (int i = 0; i < model.lineCount(); ++i) {
        bool takes = true;
        if (filter.text) {
            takes = takes && TextTakes(model, i, *expression) != filter.text->exclude;
        }
        if (filter.kinds) {
            takes = takes && KindTakes(model, i, filter.kinds->kinds) != filter.kinds->exclude;
        }
        if (filter.player) {
            takes = takes && PlayerTakes(model, i, filter.player->guid) != filter.player->exclude;
        }
        if (filter.marks) {
            takes = takes && filter.marks->lines.Contains(i) != filter.marks->exclude;
        }
        if (takes != filter.exclude) {
            hits.insert(i);
        }
    }
    return hits;
}

} // namespace reference

// The members of a set of lines, for comparing with the reference's.
inline std::set<int> Members(const LineSet& lines) {
    std::set<int> members;
    lines.ForEachFrom(0, [&members](int line) {
        members.insert(line);
        return true;
    });
    return members;
}
