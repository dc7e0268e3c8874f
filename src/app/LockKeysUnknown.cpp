// The lock keys where the program knows no way to ask the platform.
#include "LockKeys.h"

LockKeyReader PlatformLockKeyReader() {
    return [] { return LockKeys{}; };
}
