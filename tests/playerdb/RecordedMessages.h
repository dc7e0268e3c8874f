#pragma once

#include "Messages.h"

#include <ostream>
#include <vector>

// The messages a piece of work asked to show, in order.
class RecordedMessages final : public MessageSink {
public:
    void Show(const Message& message) override { shown.push_back(message); }
    std::vector<Message> shown;
};

inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "{\"" << m.text << "\", \"" << m.caption << "\", icon " << static_cast<int>(m.icon)
        << "}";
}
