#pragma once

#include "LogModel.h"

#include <string>

// Everything a classified log shows, as text: every line with its bytes,
// segments, visible columns and player links, then the slots, the GUIDs
// with their names (in bucket order) and the number of connections. Two
// models that dump the same show the same log.
inline std::string DumpLines(const LogModel& model) {
    std::string out;
    for (int i = 0; i < model.lineCount(); ++i) {
        const LineView line = model.Line(i);
        out += std::to_string(i) + " " + std::to_string(line.byteLength) + "/" +
               std::to_string(line.visibleLength) + " [" + std::string(line.Text()) + "]";
        for (const LineSegment& segment : line.segments) {
            if (segment.kind() == LineKind::EndMark) {
                break;
            }
            out += " {" + std::to_string(KindNumber(segment.kind())) + " " +
                   std::to_string(segment.start()) + "+" + std::to_string(segment.length()) + " @" +
                   std::to_string(segment.visibleStart()) + "+" +
                   std::to_string(segment.visibleLength());
            if (segment.player != nullptr) {
                out += " " + std::string(segment.player->Guid()) + " " +
                       std::string(segment.player->address.view());
            }
            out += "}";
        }
        out += "\n";
    }
    return out;
}

inline std::string DumpTables(const LogModel& model) {
    std::string out;
    const PlayerSlotTable& slotTable = model.playerSlots();
    for (int s = 0; s < PlayerSlotTable::kSlotCount; ++s) {
        const PlayerSlot& slot = slotTable.Slot(s);
        out += "slot " + std::to_string(s) + " " + std::string(slot.name.view()) + " " +
               std::to_string(slot.team) + " " +
               (slot.connection != nullptr ? std::string(slot.connection->Guid()) : "-") + "\n";
    }
    for (int b = 0; b < GuidTable::kBucketCount; ++b) {
        for (const GuidEntry& entry : model.guidTable().BucketChain(b)) {
            out += "guid " + std::string(entry.Guid());
            for (const AliasName& alias : entry.aliases) {
                out += " " + std::string(alias.name.view());
            }
            out += "\n";
        }
    }
    out += "connections " + std::to_string(slotTable.connectionCount()) + "\n";
    return out;
}

inline std::string DumpModel(const LogModel& model) {
    return DumpLines(model) + DumpTables(model);
}
