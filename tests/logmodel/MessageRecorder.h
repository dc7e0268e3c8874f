#pragma once

#include "Messages.h"

#include <vector>

// A message sink that keeps what it was asked to show.
class MessageRecorder final : public MessageSink {
public:
    void Show(const Message& message) override { shown.push_back(message); }
    std::vector<Message> shown;
};

inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "{\"" << m.text << "\", \"" << m.caption << "\", icon " << static_cast<int>(m.icon)
        << "}";
}
