// The lock keys under X11: the X keyboard extension's named indicators of the
// display Qt talks to.
#include "LockKeys.h"

#include <QGuiApplication>
#include <array>

// Xlib's macros (None, Bool, KeyPress, ...) would clash with Qt's names, so
// it comes after every Qt header.
#include <X11/XKBlib.h>

namespace {

LockKeyReader KnowsNothing() {
    return [] { return LockKeys{}; };
}

} // namespace

LockKeyReader PlatformLockKeyReader() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return KnowsNothing();
    }
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        return KnowsNothing();
    }
    const std::array<Atom, 3> names{XInternAtom(display, "Caps Lock", False),
                                    XInternAtom(display, "Num Lock", False),
                                    XInternAtom(display, "Scroll Lock", False)};
    return [display, names] {
        // A keyboard map without the indicator leaves that key unknown.
        const auto read = [display](Atom name) -> std::optional<bool> {
            int state = False;
            if (!XkbGetNamedIndicator(display, name, nullptr, &state, nullptr, nullptr)) {
                return std::nullopt;
            }
            return state != False;
        };
        return LockKeys{read(names[0]), read(names[1]), read(names[2])};
    };
}
