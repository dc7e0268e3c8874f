#include "BenchLog.h"

#include "LogGenerator.h"

#include <cstdlib>
#include <filesystem>

namespace {
constexpr std::size_t kBenchLogBytes = 200u * 1024 * 1024;
constexpr std::uint32_t kBenchSeed = 7;
} // namespace

const std::string& BenchLogPath() {
    static const std::string path = [] {
        if (const char* given = std::getenv("QUARVEL_BENCH_LOG")) {
            return std::string(given);
        }
        const auto file = std::filesystem::temp_directory_path() / "quarvel-bench-200MB.log";
        if (!std::filesystem::exists(file) || std::filesystem::file_size(file) < kBenchLogBytes) {
            WriteGeneratedLog(file.string(), kBenchLogBytes, kBenchSeed);
        }
        return file.string();
    }();
    return path;
}

std::string GeneratedLogOf(std::int64_t megabytes) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("quarvel-open-bench-" + std::to_string(megabytes) + "mb.log");
    const auto bytes = static_cast<std::uintmax_t>(megabytes) << 20;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size < bytes) {
        WriteGeneratedLog(path.string(), static_cast<std::size_t>(bytes), kBenchSeed);
    }
    return path.string();
}

std::int64_t BenchLogBytes() {
    return static_cast<std::int64_t>(std::filesystem::file_size(BenchLogPath()));
}
