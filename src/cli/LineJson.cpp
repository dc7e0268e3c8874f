#include "LineJson.h"

#include "Json.h"
#include "PlayerSlotTable.h"
#include "TextEscapes.h"

namespace {

// What is gathered before it is written, and how much of a line's text is
// escaped at a time.
constexpr std::size_t kWriteAtBytes = std::size_t{1} << 16;
constexpr std::size_t kTextPieceBytes = std::size_t{1} << 16;

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

LineJsonWriter::~LineJsonWriter() {
    Write();
}

void LineJsonWriter::Line(const LogModel& model, int index) {
    const LineView line = model.Line(index);
    const std::string_view whole = model.WholeLineText(index);
    // The part past the columns' reach is plain text, a column a byte.
    const auto beyond = static_cast<long long>(whole.size()) - line.byteLength;
    out_ += "{\"line\": " + std::to_string(index) +
            ", \"byteLength\": " + std::to_string(whole.size()) +
            ", \"visibleLength\": " + std::to_string(line.visibleLength + beyond) +
            ", \"text\": \"";
    for (std::size_t at = 0; at < whole.size(); at += kTextPieceBytes) {
        AppendEscapedLogText(out_, whole.substr(at, kTextPieceBytes), Escapes::JsonString);
        WriteIfFull();
    }
    out_ += "\", \"segments\": ";
    AppendSegments(out_, line);
    out_ += "}\n";
    WriteIfFull();
}

void LineJsonWriter::WriteIfFull() {
    if (out_.size() >= kWriteAtBytes) {
        Write();
    }
}

void LineJsonWriter::Write() {
    std::fwrite(out_.data(), 1, out_.size(), file_);
    out_.clear();
}

void WriteLinesJson(std::FILE* file, const LogModel& model, long long first, long long end) {
    LineJsonWriter writer(file);
    for (long long i = first; i < end; ++i) {
        writer.Line(model, static_cast<int>(i));
    }
}
