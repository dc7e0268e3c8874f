#pragma once

#include "../cli/RunQuarvelctl.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A quarvelctl running beside the test, as a service or a second admin runs
// it: started, waited for, or killed where it stands. What it prints goes to
// files, read when it has ended. Environment variables given ("NAME=value")
// are set for it alone, before those it inherits.
class QuarvelctlChild {
public:
    explicit QuarvelctlChild(const std::vector<std::string>& args,
                             const std::vector<std::string>& environment = {}) {
        static int serial = 0;
        const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(++serial);
        const auto dir = std::filesystem::temp_directory_path();
        outPath_ = (dir / ("quarvelctl-child-out-" + tag)).string();
        errPath_ = (dir / ("quarvelctl-child-err-" + tag)).string();
        std::vector<std::string> words{QUARVELCTL_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> variables(environment);
        std::vector<char*> envp;
        for (std::string& variable : variables) {
            envp.push_back(variable.data());
        }
        for (char** inherited = environ; *inherited != nullptr; ++inherited) {
            envp.push_back(*inherited);
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, outPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&files);
    }
    ~QuarvelctlChild() {
        if (running()) {
            Kill();
        }
        std::filesystem::remove(outPath_);
        std::filesystem::remove(errPath_);
    }
    QuarvelctlChild(const QuarvelctlChild&) = delete;
    QuarvelctlChild& operator=(const QuarvelctlChild&) = delete;

    bool running() const { return pid_ > 0 && !ended_; }
    pid_t pid() const { return pid_; }

    // Waits up to `limit` for the end: the exit code, or -1 when it is still
    // running (or died of a signal).
    int Wait(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (running()) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                ended_ = true;
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (std::chrono::steady_clock::now() >= until) {
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return exitCode_;
    }
    // SIGKILL: no handler runs, nothing is flushed or committed.
    void Kill() { Signal(SIGKILL); }
    void Signal(int signal) {
        if (running()) {
            ::kill(pid_, signal);
            if (signal == SIGKILL) {
                Wait();
            }
        }
    }

    std::string out() const { return ReadWholeFile(outPath_); }
    std::string err() const { return ReadWholeFile(errPath_); }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
    std::string outPath_;
    std::string errPath_;
};
