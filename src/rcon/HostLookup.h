#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Finds the IPv4 address of a server's address text without holding up the
// thread it serves: a dotted address stands for itself; a host name is looked
// up by Qt's resolver on a thread of its own, and its address kept for a
// while, so that a server polled every few seconds is not looked up every
// time. Several requests for a name being looked up wait for the one look-up.
class HostLookup : public QObject {
    Q_OBJECT

public:
    // The address (host byte order), or nothing when the name has none.
    using Found = std::function<void(std::optional<std::uint32_t> address)>;

    static constexpr std::chrono::seconds kKeptFor{30};

    explicit HostLookup(QObject* parent = nullptr);
    ~HostLookup() override;

    // Calls `found` with the address of `host`: before returning for a dotted
    // address or one still kept, later from this thread's event loop
    // otherwise. A look-up that fails is not kept: the next request asks again.
    void Find(const std::string& host, Found found);

private:
    struct Kept {
        std::uint32_t address;
        std::chrono::steady_clock::time_point until;
    };
    struct Asking {
        int lookupId = -1;
        std::vector<Found> waiting;
    };

    void Answered(const std::string& host, std::optional<std::uint32_t> address);

    std::map<std::string, Kept> kept_;
    std::map<std::string, Asking> asking_;
};
