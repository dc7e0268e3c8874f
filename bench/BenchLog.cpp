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

std::int64_t BenchLogBytes() {
    return static_cast<std::int64_t>(std::filesystem::file_size(BenchLogPath()));
}
