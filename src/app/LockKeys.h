#pragma once

#include <functional>
#include <optional>

// The state of the keyboard's three lock keys, each as far as the platform
// tells it: nothing for a key whose state it does not tell.
struct LockKeys {
    std::optional<bool> capsLock;
    std::optional<bool> numLock;
    std::optional<bool> scrollLock;

    bool operator==(const LockKeys&) const = default;
};

// Reads the lock keys' state from the platform.
using LockKeyReader = std::function<LockKeys()>;

// The reader for the platform the application runs on: the X server's
// keyboard indicators under X11, a reader that knows nothing elsewhere
// (Wayland, the offscreen platform). Needs the application object.
LockKeyReader PlatformLockKeyReader();
