#pragma once

#include "EventText.h"
#include "FileMapping.h"
#include "LineStore.h"
#include "LoadStatus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a look at a followed log found (LogModel::Refresh).
enum class FileChange {
    None,      // nothing new
    Grew,      // lines were appended
    Truncated, // the file shrank or its first bytes changed: reloaded
    Replaced,  // the path names another file now (or again): reloaded
    Deleted,   // the path names no file any more: what was read stays
};

// The bytes of one open log and where its lines start: the mapped file, the
// line store, how far the split has gone, and what tells a grown file from a
// rewritten or replaced one. It knows nothing of what the lines say, beyond
// the width of their time stamps.
class LogStore {
public:
    LogStore() = default;
    ~LogStore() { Close(); }
    LogStore(const LogStore&) = delete;
    LogStore& operator=(const LogStore&) = delete;

    // Maps the file at `path` and splits about its first `bytes` (whole
    // lines, at least one when the file holds one).
    LoadStatus Load(const std::string& path, std::int64_t bytes);
    // Splits about `bytes` more (at least one more line when there is one).
    // True while bytes of the file remain unsplit.
    bool SplitMore(std::int64_t bytes);
    bool fullySplit() const { return scanned_ >= fileSize_; }
    // Makes room in the line store for every line the unsplit rest could
    // hold, so that the store's block table stays where it is while another
    // thread splits the rest.
    void ReserveForRest();
    // Releases the mapping and the lines; the load status stays.
    void Close();

    // Follows the file (LogModel::Refresh). Every reload from scratch counts
    // one more in reloads().
    FileChange Refresh();
    int reloads() const { return reloads_; }

    const std::string& path() const { return path_; }
    bool deleted() const { return deleted_; }
    LoadStatus loadStatus() const { return loadStatus_; }
    std::int64_t fileSize() const { return fileSize_; }
    int lineCount() const { return lines_.lineCount(); }
    const LineStore& lines() const { return lines_; }
    void ReadAhead(std::int64_t from, std::int64_t to) const { file_.ReadAhead(from, to); }
    std::string_view FileBytes() const {
        return {file_.data(), static_cast<std::size_t>(file_.data() == nullptr ? 0 : fileSize_)};
    }
    // The bytes of line i that its columns reach: all of them, unless the
    // line is longer than LineStore::kMaxLineBytes.
    std::string_view LineText(int i) const {
        return {file_.data() + lines_.Offset(i), static_cast<std::size_t>(lines_.ByteLength(i))};
    }
    // Every byte of line i, however long.
    std::string_view WholeLineText(int i) const {
        return {file_.data() + lines_.Offset(i), static_cast<std::size_t>(lines_.LineLength(i))};
    }
    // Where the event text of the lines starts: the width of their time
    // stamps, found from the first lines.
    int eventTextOffset() const { return eventTextOffset_; }

private:
    void Reload(std::int64_t bytes);
    // Splits what the file holds past the last line end split so far.
    void SplitNewBytes();
    // Splits up to `limit`, moving it on as needed to take at least one
    // line when one lies beyond splitEnd_. Returns the lines added.
    int SplitUpTo(std::int64_t limit);
    void DetectStampWidth();
    // Remembers a hash of the file's first bytes, to tell a rewritten file
    // from a grown one.
    void RememberHead();
    bool HeadChanged() const;

    std::string path_;
    FileMapping file_;
    LineStore lines_;
    LoadStatus loadStatus_ = LoadStatus::NotLoaded;
    std::int64_t fileSize_ = 0;
    // Where the next line begins: bytes from here on hold no LF yet, as far
    // as the split has looked (up to scanned_).
    std::int64_t splitEnd_ = 0;
    std::int64_t scanned_ = 0;
    std::optional<FileIdentity> identity_;
    int eventTextOffset_ = kEventTextOffset;
    bool stampDetected_ = false;
    std::size_t headLength_ = 0;
    std::uint64_t headHash_ = 0;
    bool deleted_ = false;
    int reloads_ = 0;
};
