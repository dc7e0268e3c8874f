#pragma once

#include <sys/resource.h>

// Lowers the process's descriptor limit to nothing, so that no socket can be
// created until it goes. A limit at the lowest free descriptor is not enough:
// another thread closing a descriptor below it opens a hole a socket takes.
class DescriptorsExhausted {
public:
    DescriptorsExhausted() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_NOFILE, &none);
    }
    ~DescriptorsExhausted() { setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorsExhausted(const DescriptorsExhausted&) = delete;
    DescriptorsExhausted& operator=(const DescriptorsExhausted&) = delete;

private:
    rlimit saved_{};
};
