#pragma once

#include <cstdint>
#include <string>

// A read-only view of a whole file. The file is opened for reading only and
// never written. On POSIX a file truncated by another program while it is
// mapped would raise SIGBUS on the next read of a vanished page; the mapping
// registers itself with a process-wide guard that puts zero pages in place of
// those pages, so readers see zero bytes instead of the program dying.
class FileMapping {
public:
    // Open() results, the line store's load statuses.
    static constexpr int kLoaded = 0;
    static constexpr int kOpenFailed = -1;
    static constexpr int kMappingFailed = -2;
    static constexpr int kViewFailed = -3;

    FileMapping() = default;
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Maps the whole file at `path`. An empty file cannot be mapped
    // (kMappingFailed). Closes whatever was open before.
    int Open(const std::string& path);
    void Close();

    const char* data() const { return data_; }
    std::int64_t size() const { return size_; }
    bool isOpen() const { return data_ != nullptr; }

private:
    const char* data_ = nullptr;
    std::int64_t size_ = 0;
#ifdef _WIN32
    void* file_ = nullptr;
    void* mapping_ = nullptr;
#else
    int fd_ = -1;
#endif
};
