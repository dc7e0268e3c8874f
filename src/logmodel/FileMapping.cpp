#include "FileMapping.h"

#include "TruncationGuard.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileMapping::~FileMapping() { Close(); }

#ifndef _WIN32

int FileMapping::Open(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        return kOpenFailed;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return kOpenFailed;
    }
    if (info.st_size < 1) {
        // Nothing to map: an empty file has no mapping.
        Close();
        return kMappingFailed;
    }
    // The split reads every byte at once anyway: populating the mapping up
    // front costs one pass in the kernel instead of a fault per page.
    int flags = MAP_SHARED;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;
#endif
    void* view = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, flags, fd_, 0);
    if (view == MAP_FAILED) {
        Close();
        return kViewFailed;
    }
    data_ = static_cast<const char*>(view);
    size_ = info.st_size;
    truncation_guard::Register(data_, static_cast<std::size_t>(size_));
    return kLoaded;
}

void FileMapping::Close() {
    if (data_ != nullptr) {
        truncation_guard::Unregister(data_);
        ::munmap(const_cast<char*>(data_), static_cast<std::size_t>(size_));
        data_ = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    size_ = 0;
}

#else

int FileMapping::Open(const std::string& path) {
    Close();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return kOpenFailed;
    }
    file_ = file;
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        Close();
        return kMappingFailed;
    }
    mapping_ = mapping;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        Close();
        return kViewFailed;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    data_ = static_cast<const char*>(view);
    size_ = size.QuadPart;
    return kLoaded;
}

void FileMapping::Close() {
    if (data_ != nullptr) {
        UnmapViewOfFile(data_);
        data_ = nullptr;
    }
    if (mapping_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(mapping_));
        mapping_ = nullptr;
    }
    if (file_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(file_));
        file_ = nullptr;
    }
    size_ = 0;
}

#endif
