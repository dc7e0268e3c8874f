#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// A file in the temporary folder holding given bytes, removed at the end of
// the test.
class TempFile {
public:
    explicit TempFile(const std::string& bytes, const std::string& suffix = ".log") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("quarvel-test-XXXXXX" + suffix)).string();
        const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
        if (fd >= 0) {
            close(fd);
        }
        path_ = pattern;
        Write(bytes);
    }
    ~TempFile() { std::filesystem::remove(path_); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void Write(const std::string& bytes) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
