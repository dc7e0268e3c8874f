#include "FileMapping.h"

#include "TruncationGuard.h"

#include <algorithm>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Room mapped past the end of a file for it to grow into: as much again as
// the file holds, at least 64 MiB and at most 1 GiB. Only address space is
// taken; nothing is read before the file holds it.
constexpr std::int64_t kLeastRoom = std::int64_t{64} << 20;
constexpr std::int64_t kMostRoom = std::int64_t{1} << 30;

std::int64_t MappedLengthFor(std::int64_t fileSize) {
    return fileSize + std::clamp(fileSize, kLeastRoom, kMostRoom);
}

} // namespace

std::uint64_t Fnv1aHash(const char* data, std::size_t length) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

FileMapping::~FileMapping() {
    Close();
}

void FileMapping::swap(FileMapping& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(mappedLength_, other.mappedLength_);
#ifdef _WIN32
    std::swap(file_, other.file_);
    std::swap(mapping_, other.mapping_);
#else
    std::swap(fd_, other.fd_);
#endif
}

#ifndef _WIN32

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

LoadStatus FileMapping::Open(const std::string& path) {
    Close();
    // Non-blocking, so that opening a FIFO nobody writes to returns at once;
    // anything but a regular file is refused right after.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        return LoadStatus::OpenFailed;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return LoadStatus::OpenFailed;
    }
    if (info.st_size < 1) {
        // Nothing to map: an empty file has no mapping.
        Close();
        return LoadStatus::MappingFailed;
    }
    if (!MapView(info.st_size)) {
        Close();
        return LoadStatus::ViewFailed;
    }
    return LoadStatus::Loaded;
}

void FileMapping::ReadAhead(std::int64_t from, std::int64_t to) const {
    if (data_ == nullptr || from >= to) {
        return;
    }
    // Reading the pages in up front costs one pass in the kernel instead of a
    // fault per page.
    const auto page = static_cast<std::int64_t>(::sysconf(_SC_PAGESIZE));
    const std::int64_t start = from / page * page;
    const std::int64_t end = std::min(to, size_);
    if (start >= end) {
        return;
    }
    void* at = const_cast<char*>(data_) + start;
    const auto length = static_cast<std::size_t>(end - start);
#ifdef MADV_POPULATE_READ
    if (::madvise(at, length, MADV_POPULATE_READ) != 0) {
        ::madvise(at, length, MADV_WILLNEED);
    }
#else
    ::madvise(at, length, MADV_WILLNEED);
#endif
}

bool FileMapping::MapView(std::int64_t fileSize) {
    const auto bytes = static_cast<std::size_t>(fileSize);
    // Longer than the file, so it can grow in place; where the address space
    // is short (a limit on it, a 32-bit build), exactly as long as the file.
    auto length = static_cast<std::size_t>(MappedLengthFor(fileSize));
    void* view = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd_, 0);
    if (view == MAP_FAILED) {
        length = bytes;
        view = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd_, 0);
    }
    if (view == MAP_FAILED) {
        return false;
    }
    // The split reads the pages in as it goes (ReadAhead), a part at a
    // time, so that mapping a large file does not stall whoever waits.
    ::madvise(view, bytes, MADV_SEQUENTIAL);
    Unmap();
    data_ = static_cast<const char*>(view);
    mappedLength_ = length;
    size_ = fileSize;
    truncation_guard::Register(data_, mappedLength_);
    return true;
}

void FileMapping::Unmap() {
    if (data_ != nullptr) {
        truncation_guard::Unregister(data_);
        ::munmap(const_cast<char*>(data_), mappedLength_);
        data_ = nullptr;
    }
    mappedLength_ = 0;
    size_ = 0;
}

void FileMapping::Close() {
    Unmap();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::int64_t FileMapping::CurrentSize() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return -1;
    }
    return info.st_size;
}

bool FileMapping::Extend(std::int64_t newSize) {
    if (data_ == nullptr || newSize <= size_) {
        return data_ != nullptr;
    }
    if (static_cast<std::uint64_t>(newSize) <= mappedLength_) {
        // The pages past the old end are mapped already and show what the
        // writer added; they only need reading in.
        const auto pageSize = static_cast<std::int64_t>(sysconf(_SC_PAGESIZE));
        const std::int64_t first = size_ / pageSize * pageSize;
        ::madvise(const_cast<char*>(data_) + first, static_cast<std::size_t>(newSize - first),
                  MADV_WILLNEED);
        size_ = newSize;
        return true;
    }
    // MapView releases the old view only once the new one is made.
    return MapView(newSize);
}

std::optional<FileIdentity> FileMapping::identity() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<std::size_t> FileMapping::ReadAt(std::int64_t from, std::size_t length,
                                               char* into) const {
    if (fd_ < 0) {
        return std::nullopt;
    }
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd_, into + got, length - got,
                                  static_cast<off_t>(from + static_cast<std::int64_t>(got)));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break; // the file is shorter now
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

std::optional<std::uint64_t> FileMapping::HeadHash(std::size_t length) const {
    std::vector<char> head(length);
    const auto got = ReadAt(0, length, head.data());
    if (!got) {
        return std::nullopt;
    }
    return Fnv1aHash(head.data(), *got);
}

#else

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!ok) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

LoadStatus FileMapping::Open(const std::string& path) {
    Close();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LoadStatus::OpenFailed;
    }
    file_ = file;
    const std::int64_t size = CurrentSize();
    if (size < 1) {
        Close();
        return LoadStatus::MappingFailed;
    }
    if (!MapView(size)) {
        Close();
        return LoadStatus::ViewFailed;
    }
    return LoadStatus::Loaded;
}

void FileMapping::ReadAhead(std::int64_t, std::int64_t) const {
    // The system's own read-ahead serves a mapped view here.
}

std::optional<std::size_t> FileMapping::ReadAt(std::int64_t, std::size_t, char*) const {
    return std::nullopt; // the mapped view serves every reader here
}

bool FileMapping::MapView(std::int64_t fileSize) {
    // Windows maps no further than the file's end: every growth maps anew.
    HANDLE mapping =
        CreateFileMappingA(static_cast<HANDLE>(file_), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        return false;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mapping);
        return false;
    }
    Unmap();
    mapping_ = mapping;
    data_ = static_cast<const char*>(view);
    mappedLength_ = static_cast<std::size_t>(fileSize);
    size_ = fileSize;
    return true;
}

void FileMapping::Unmap() {
    if (data_ != nullptr) {
        UnmapViewOfFile(data_);
        data_ = nullptr;
    }
    if (mapping_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(mapping_));
        mapping_ = nullptr;
    }
    mappedLength_ = 0;
    size_ = 0;
}

void FileMapping::Close() {
    Unmap();
    if (file_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(file_));
        file_ = nullptr;
    }
}

std::int64_t FileMapping::CurrentSize() const {
    LARGE_INTEGER size{};
    if (file_ == nullptr || !GetFileSizeEx(static_cast<HANDLE>(file_), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool FileMapping::Extend(std::int64_t newSize) {
    if (data_ == nullptr || newSize <= size_) {
        return data_ != nullptr;
    }
    return MapView(newSize);
}

std::optional<FileIdentity> FileMapping::identity() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (file_ == nullptr || !GetFileInformationByHandle(static_cast<HANDLE>(file_), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<std::uint64_t> FileMapping::HeadHash(std::size_t length) const {
    if (file_ == nullptr) {
        return std::nullopt;
    }
    std::vector<char> head(length);
    OVERLAPPED at{};
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(file_), head.data(), static_cast<DWORD>(length), &got, &at)) {
        return std::nullopt;
    }
    return Fnv1aHash(head.data(), got);
}

#endif
