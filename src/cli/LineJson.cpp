#include "LineJson.h"

#include "Json.h"
#include "PlayerSlotTable.h"

namespace {

void AppendSegments(std::string& out, const LineView& line) {
    out += "[";
    for (int s = 0; s < kSegmentsPerLine; ++s) {
        const LineSegment& segment = line.segments[static_cast<std::size_t>(s)];
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        out += s == 0 ? "{\"kind\": " : ", {\"kind\": ";
        out += std::to_string(KindNumber(segment.kind())) +
               ", \"start\": " + std::to_string(segment.start()) +
               ", \"length\": " + std::to_string(segment.length()) +
               ", \"visibleStart\": " + std::to_string(segment.visibleStart()) +
               ", \"visibleLength\": " + std::to_string(segment.visibleLength()) + ", \"player\": ";
        if (segment.player == nullptr) {
            out += "null";
        } else {
            out += "{\"guid\": ";
            AppendJsonLogText(out, segment.player->Guid());
            out += ", \"address\": ";
            AppendJsonLogText(out, segment.player->address.view());
            out += "}";
        }
        out += "}";
    }
    out += "]";
}

} // namespace

void AppendLineJson(std::string& out, long long index, const LineView& line) {
    out += "{\"line\": " + std::to_string(index) +
           ", \"byteLength\": " + std::to_string(line.byteLength) +
           ", \"visibleLength\": " + std::to_string(line.visibleLength) + ", \"text\": ";
    AppendJsonLogText(out, line.Text());
    out += ", \"segments\": ";
    AppendSegments(out, line);
    out += "}\n";
}
