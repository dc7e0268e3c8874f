#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

// Runs the built quarvelctl with the given arguments and returns what it
// printed and its exit code.
struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline CliResult RunQuarvelctl(const std::vector<std::string>& args) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto tag = std::to_string(::getpid());
    const auto outPath = dir / ("quarvelctl-out-" + tag);
    const auto errPath = dir / ("quarvelctl-err-" + tag);
    std::string command = ShellQuote(QUARVELCTL_PATH);
    for (const std::string& arg : args) {
        command += " " + ShellQuote(arg);
    }
    command += " >" + ShellQuote(outPath.string()) + " 2>" + ShellQuote(errPath.string());
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}
