#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string CannotWrite(const std::string& path, int error) {
    return "Cannot write " + path + ": " + std::strerror(error) + ".";
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A rename is only lasting once the folder that holds the name is flushed.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Where the bytes go: the target of a symbolic link, so that the link stays.
std::filesystem::path WrittenPath(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto target = std::filesystem::weakly_canonical(path, ec);
        if (!ec) {
            return target;
        }
    }
    return path;
}

} // namespace

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target = WrittenPath(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return CannotWrite(path, errno);
    }
    int error = 0;
    // mkostemp asks for 0600 but the umask has its say; the mode is set
    // outright, before any byte of a password is in the file.
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return CannotWrite(path, error);
    }
    SyncFolder(folder);
    return {};
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t limit,
                                         std::string& error) {
    error.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT) {
            error = "Cannot read " + path + ": " + std::strerror(errno) + ".";
        }
        return std::nullopt;
    }
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + " is not a regular file.";
    } else {
        char buffer[65536];
        while (error.empty()) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                error = "Cannot read " + path + ": " + std::strerror(errno) + ".";
            } else if (got == 0) {
                break;
            } else if (bytes.size() + static_cast<std::size_t>(got) > limit) {
                error = path + " is larger than a configuration file can be.";
            } else {
                bytes.append(buffer, static_cast<std::size_t>(got));
            }
        }
    }
    ::close(fd);
    if (!error.empty()) {
        return std::nullopt;
    }
    return bytes;
}
