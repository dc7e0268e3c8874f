#pragma once

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
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

// The argument vector of quarvelctl with `args`, for exec.
class QuarvelctlArgv {
public:
    explicit QuarvelctlArgv(const std::vector<std::string>& args) : words_{QUARVELCTL_PATH} {
        words_.insert(words_.end(), args.begin(), args.end());
        for (std::string& word : words_) {
            pointers_.push_back(word.data());
        }
        pointers_.push_back(nullptr);
    }
    char* const* argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

// How a run of quarvelctl ended and the most memory it held at once.
struct MeasuredRun {
    int exitCode = -1;
    long maxResidentKb = 0;
};

// Runs quarvelctl with its output thrown away, and measures its peak
// resident memory (the kernel's count for the child, whatever the build).
inline MeasuredRun RunQuarvelctlMeasured(const std::vector<std::string>& args) {
    QuarvelctlArgv argv(args);
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(QUARVELCTL_PATH, argv.argv());
        ::_exit(127);
    }
    MeasuredRun run;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.maxResidentKb = usage.ru_maxrss;
    }
    return run;
}

// Runs quarvelctl with a terminal for its output, as a person would, and
// returns what reached the terminal (stdout and stderr together; the
// terminal turns each LF into CR LF).
inline CliResult RunQuarvelctlOnTerminal(const std::vector<std::string>& args) {
    QuarvelctlArgv argv(args);
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::execv(QUARVELCTL_PATH, argv.argv());
        ::_exit(127);
    }
    CliResult result;
    if (child < 0) {
        return result;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n > 0) {
            result.out.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break; // EIO once the program has ended and closed its side
        }
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
