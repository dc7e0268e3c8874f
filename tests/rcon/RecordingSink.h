#pragma once

#include "Messages.h"

#include <ostream>
#include <vector>

// A message sink that keeps what would have been shown.
class RecordingSink : public MessageSink {
public:
    void Show(const Message& message) override { messages.push_back(message); }

    std::vector<Message> messages;
};

inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "{\"" << m.text << "\", \"" << m.caption << "\", icon " << static_cast<int>(m.icon)
        << "}";
}
