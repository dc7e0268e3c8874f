#pragma once

#include "LoadStatus.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Which file a descriptor or a path names: a log renamed away and another
// file created under its name have different identities.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file `path` names now; nothing when the path
// names no file (or not a regular one).
std::optional<FileIdentity> IdentityOfPath(const std::string& path);

// A read-only view of a whole file that can follow the file as it grows. The
// file is opened for reading only and never written.
//
// The view is mapped longer than the file, so that a log that grows stays in
// the same place in memory: the bytes a writer appends appear in the mapping
// without mapping anything again, until the file outgrows the room left.
// Readers hold byte offsets, never addresses, so a remap costs them nothing.
//
// On POSIX a file truncated by another program while it is mapped would raise
// SIGBUS on the next read of a vanished page; the mapping registers itself
// with a process-wide guard that puts zero pages in place of those pages, so
// readers see zero bytes instead of the program dying.
class FileMapping {
public:
    FileMapping() = default;
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Maps the whole file at `path`. Only regular files are opened: a FIFO or
    // a device would block or never end (LoadStatus::OpenFailed). An empty file cannot be
    // mapped (LoadStatus::MappingFailed). Closes whatever was open before.
    LoadStatus Open(const std::string& path);
    void Close();
    // Exchanges the open files (and views) of two mappings.
    void swap(FileMapping& other) noexcept;

    // The file's size as its open descriptor reports it now, or -1 when none
    // is open.
    std::int64_t CurrentSize() const;
    // Makes the file's bytes up to `newSize` readable (a size the descriptor
    // reported): nothing to do while they fit the room mapped, a larger
    // mapping otherwise, after which data() has moved. False when no larger
    // mapping could be made; the bytes mapped so far stay readable.
    bool Extend(std::int64_t newSize);
    // Reads the file's bytes [from, to) into memory ahead of their use.
    void ReadAhead(std::int64_t from, std::int64_t to) const;
    // Copies up to `length` of the file's bytes from `from` on into `into`,
    // as the descriptor reads them now: how many it copied (fewer when the
    // file is shorter now), nothing when it could not read. For one pass over
    // much of a file: a copy into a buffer that stays in the cache costs less
    // than the first touch of every page of the view (on a virtual machine,
    // up to ten times as much as reading the page).
    std::optional<std::size_t> ReadAt(std::int64_t from, std::size_t length, char* into) const;

    const char* data() const { return data_; }
    std::int64_t size() const { return size_; }
    bool isOpen() const { return data_ != nullptr; }
    // The identity of the open file; nothing when none is open.
    std::optional<FileIdentity> identity() const;

    // A hash of the file's first `length` bytes (fewer when the file is
    // shorter) as the descriptor reads them now, not as the mapping shows
    // them: a file truncated and written again reads differently here even
    // where zero pages have been put over the mapping. Nothing when they
    // cannot be read.
    std::optional<std::uint64_t> HeadHash(std::size_t length) const;

private:
    bool MapView(std::int64_t fileSize);
    void Unmap();

    const char* data_ = nullptr;
    std::int64_t size_ = 0;
    std::size_t mappedLength_ = 0;
#ifdef _WIN32
    void* file_ = nullptr;
    void* mapping_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// The 64-bit FNV-1a hash of some bytes.
std::uint64_t Fnv1aHash(const char* data, std::size_t length);
