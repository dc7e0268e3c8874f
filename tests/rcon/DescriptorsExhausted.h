#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// Holds the process's descriptor limit at the descriptors already open, so
// that no socket can be created until it goes.
class DescriptorsExhausted {
public:
    DescriptorsExhausted() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = open("/dev/null", O_RDONLY | O_CLOEXEC);
        close(lowestFree);
        rlimit tight = saved_;
        tight.rlim_cur = static_cast<rlim_t>(lowestFree);
        setrlimit(RLIMIT_NOFILE, &tight);
    }
    ~DescriptorsExhausted() { setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorsExhausted(const DescriptorsExhausted&) = delete;
    DescriptorsExhausted& operator=(const DescriptorsExhausted&) = delete;

private:
    rlimit saved_{};
};
