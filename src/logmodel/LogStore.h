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
    // lines, at least one when the file holds one). With a `firstByte`, the
    // split starts there instead of at the file's beginning (a follower going
    // on where it stopped: it must be where a line starts); line 0 is then
    // the line that starts there. The time stamps' width is still read from
    // the file's first lines.
    LoadStatus Load(const std::string& path, std::int64_t bytes, std::int64_t firstByte = 0);
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
    // one more in reloads(). When the path names another file, the file
    // read so far goes to `replaced` with its lines, open as it was, when one
    // is given, so that what its writer still adds can be read.
    FileChange Refresh(LogStore* replaced = nullptr);
    int reloads() const { return reloads_; }
    // Follows the open file alone, whatever its path names now: Grew when
    // lines were appended, Truncated when it shrank or its first bytes
    // changed (nothing more is read from it then), None otherwise.
    FileChange ReadGrowth();

    const std::string& path() const { return path_; }
    bool deleted() const { return deleted_; }
    LoadStatus loadStatus() const { return loadStatus_; }
    std::int64_t fileSize() const { return fileSize_; }
    int lineCount() const { return lines_.lineCount(); }
    const LineStore& lines() const { return lines_; }
    // Where the line after line i starts: past line i's LF.
    std::int64_t LineEndOffset(int i) const {
        return i + 1 < lineCount() ? lines_.Offset(i + 1) : splitEnd_;
    }
    // The open file's identity, and the hash of its first bytes this store
    // compares to tell a rewritten file (at most 16 KiB: fewer while the
    // file is shorter).
    const std::optional<FileIdentity>& identity() const { return identity_; }
    std::size_t headLength() const { return headLength_; }
    std::uint64_t headHash() const { return headHash_; }
    // The hash of the open file's first `length` bytes as they read now.
    std::optional<std::uint64_t> HeadHashOf(std::size_t length) const {
        return file_.HeadHash(length);
    }
    void ReadAhead(std::int64_t from, std::int64_t to) const { file_.ReadAhead(from, to); }
    std::optional<std::size_t> ReadAt(std::int64_t from, std::size_t length, char* into) const {
        return file_.ReadAt(from, length, into);
    }
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
    void Reload(std::int64_t bytes, std::int64_t firstByte = 0);
    // Hands the open file and its lines to `to`, leaving this store closed.
    void MoveFileTo(LogStore& to);
    // Splits what the file holds past the last line end split so far.
    void SplitNewBytes();
    // Splits up to `limit`, moving it on as needed to take at least one
    // line when one lies beyond splitEnd_. Returns the lines added.
    int SplitUpTo(std::int64_t limit);
    void DetectStampWidth();
    // The width read from the file's first lines when the split started
    // further on.
    void DetectStampWidthFromHead();
    // Remembers a hash of the file's first bytes, to tell a rewritten file
    // from a grown one.
    void RememberHead();
    bool HeadChanged() const;

    std::string path_;
    FileMapping file_;
    LineStore lines_;
    LoadStatus loadStatus_ = LoadStatus::NotLoaded;
    std::int64_t fileSize_ = 0;
    // Where line 0 begins: 0 unless the load started further on.
    std::int64_t splitStart_ = 0;
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
