// The line split and the whole classification walk (and a second walk,
// which finds nothing left to do), over any bytes: every segment lies inside
// its line, visible lengths never pass byte lengths, the tables keep their
// limits, and a log split a part at a time shows exactly what the whole
// load shows.
#include "ColourCodes.h"
#include "FuzzLog.h"

namespace {

void CheckLine(const LineView& line) {
    FUZZ_CHECK(line.byteLength >= 0);
    FUZZ_CHECK(line.visibleLength >= 0 && line.visibleLength <= line.byteLength);
    for (const LineSegment& segment : line.segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        FUZZ_CHECK(segment.start() + segment.length() <= line.byteLength);
        FUZZ_CHECK(segment.visibleLength() <= segment.length());
        FUZZ_CHECK(segment.visibleStart() + segment.visibleLength() <= line.visibleLength);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzLogFile file;
    LogModel model;
    file.LoadAndWalk(model, data, size);
    model.WalkAll(WalkMode::Classify);
    const char* begin = reinterpret_cast<const char*>(data);
    for (int i = 0; i < model.lineCount(); ++i) {
        const LineView line = model.Line(i);
        CheckLine(line);
        if (size > 0) {
            FUZZ_CHECK(line.byteLength <= static_cast<std::int64_t>(size));
        }
        (void)begin;
    }
    // The part size comes from the input's first byte.
    LogModel parts;
    file.LoadInParts(parts, size > 0 ? 1 + data[0] % 97 : 1);
    FUZZ_CHECK(parts.lineCount() == model.lineCount());
    FUZZ_CHECK(parts.eventTextOffset() == model.eventTextOffset());
    for (int i = 0; i < model.lineCount(); ++i) {
        const LineView whole = model.Line(i);
        const LineView inParts = parts.Line(i);
        FUZZ_CHECK(whole.Text() == inParts.Text());
        FUZZ_CHECK(whole.visibleLength == inParts.visibleLength);
        for (std::size_t s = 0; s < whole.segments.size(); ++s) {
            FUZZ_CHECK(whole.segments[s].word0 == inParts.segments[s].word0);
            if (whole.segments[s].kind() == LineKind::EndMark) {
                break;
            }
            FUZZ_CHECK(whole.segments[s].word1 == inParts.segments[s].word1);
            FUZZ_CHECK((whole.segments[s].player == nullptr) ==
                       (inParts.segments[s].player == nullptr));
        }
    }
    FUZZ_CHECK(parts.playerSlots().connectionCount() == model.playerSlots().connectionCount());

    for (int slot = 0; slot < PlayerSlotTable::kSlotCount; ++slot) {
        FUZZ_CHECK(model.playerSlots().Slot(slot).name.view().size() <= 49);
    }
    for (int bucket = 0; bucket < GuidTable::kBucketCount; ++bucket) {
        for (const GuidEntry& entry : model.guidTable().BucketChain(bucket)) {
            FUZZ_CHECK(GuidTable::Bucket(entry.Guid()) == bucket);
            FUZZ_CHECK(model.guidTable().Find(entry.Guid()) == &entry);
            for (const AliasName& alias : entry.aliases) {
                FUZZ_CHECK(alias.name.view().size() <= 63);
            }
        }
    }
    return 0;
}
