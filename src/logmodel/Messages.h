#pragma once

#include <functional>
#include <string>

// The program's name: the caption of its windows and of its messages.
inline constexpr char kApplicationTitle[] = "Quarvel";

// What the program tells the user: a text, a caption and an icon, shown in a
// message box by the GUI, printed by quarvelctl and recorded by tests. Texts
// are UTF-8.
enum class MessageIcon {
    None,    // no icon
    Error,   // the stop icon
    Warning, // the exclamation icon
};

struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const Message&) const = default;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message and returns when the user has acknowledged it.
    virtual void Show(const Message& message) = 0;
    // Shows the message and calls `then` once the user has acknowledged it.
    // Here that is when Show returns; a window's sink shows its box without
    // a loop of its own and calls `then` when the box closes, so that a flow
    // told through it never holds the thread's event loop.
    virtual void ShowThen(const Message& message, std::function<void()> then) {
        Show(message);
        then();
    }
};
