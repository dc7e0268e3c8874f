#include "TruncationGuard.h"

#ifndef _WIN32

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace truncation_guard {
namespace {

constexpr std::size_t kSlots = 1024;

struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
};

struct Registry {
    std::array<Slot, kSlots> slots;
    struct sigaction previous {};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

void ForwardToPrevious(int signo, siginfo_t* info, void* context) {
    const struct sigaction& previous = TheRegistry().previous;
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction != nullptr) {
            previous.sa_sigaction(signo, info, context);
            return;
        }
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
               previous.sa_handler != nullptr) {
        previous.sa_handler(signo);
        return;
    }
    // Default action: restore it and return; the faulting read runs again and
    // the signal then ends the process as it would have without the guard.
    signal(signo, SIG_DFL);
}

void OnSigbus(int signo, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : TheRegistry().slots) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end) {
            continue;
        }
        const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const std::uintptr_t first = address & ~(pageSize - 1);
        // Every page from the faulting one to the end of the mapping lies past
        // the new end of the file; replace them all at once.
        void* patched = mmap(reinterpret_cast<void*>(first), end - first, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (patched != MAP_FAILED) {
            return;
        }
        break;
    }
    ForwardToPrevious(signo, info, context);
}

void InstallOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnSigbus;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &TheRegistry().previous);
    });
}

} // namespace

bool Register(const void* begin, std::size_t length) {
    InstallOnce();
    const auto first = reinterpret_cast<std::uintptr_t>(begin);
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t end = (first + length + pageSize - 1) & ~(pageSize - 1);
    for (Slot& slot : TheRegistry().slots) {
        std::uintptr_t expected = 0;
        if (slot.begin.load(std::memory_order_relaxed) == 0 &&
            slot.end.compare_exchange_strong(expected, end, std::memory_order_acq_rel)) {
            slot.begin.store(first, std::memory_order_release);
            return true;
        }
    }
    return false;
}

void Unregister(const void* begin) {
    const auto first = reinterpret_cast<std::uintptr_t>(begin);
    for (Slot& slot : TheRegistry().slots) {
        if (slot.begin.load(std::memory_order_acquire) == first) {
            slot.begin.store(0, std::memory_order_release);
            slot.end.store(0, std::memory_order_release);
            return;
        }
    }
}

} // namespace truncation_guard

#else

namespace truncation_guard {
// Windows keeps writers out of a mapped file, so there is nothing to guard.
bool Register(const void*, std::size_t) {
    return true;
}
void Unregister(const void*) {}
} // namespace truncation_guard

#endif
