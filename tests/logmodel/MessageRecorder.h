#pragma once

#include "Messages.h"

#include <ostream>
#include <vector>

// A message sink that keeps what it was asked to show, for every suite that
// checks the texts, captions and icons the program would show.
class MessageRecorder final : public MessageSink {
public:
    void Show(const Message& message) override { messages.push_back(message); }
    std::vector<Message> messages;
};

inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "{\"" << m.text << "\", \"" << m.caption << "\", icon " << static_cast<int>(m.icon)
        << "}";
}
