#include "HostLookup.h"

#include "HostAddress.h"

#include <QHostAddress>
#include <QHostInfo>

HostLookup::HostLookup(QObject* parent) : QObject(parent) {}

HostLookup::~HostLookup() {
    for (const auto& [host, asking] : asking_) {
        QHostInfo::abortHostLookup(asking.lookupId);
    }
}

void HostLookup::Find(const std::string& host, Found found) {
    if (const auto dotted = ParseDottedIPv4(host)) {
        found(*dotted);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (const auto kept = kept_.find(host); kept != kept_.end()) {
        if (kept->second.until > now) {
            found(kept->second.address);
            return;
        }
        kept_.erase(kept);
    }
    Asking& asking = asking_[host];
    asking.waiting.push_back(std::move(found));
    if (asking.waiting.size() > 1) {
        return; // a look-up of this name is on its way
    }
    asking.lookupId = QHostInfo::lookupHost(
        QString::fromStdString(host), this, [this, host](const QHostInfo& info) {
            std::optional<std::uint32_t> address;
            for (const QHostAddress& candidate : info.addresses()) {
                bool ipv4 = false;
                const quint32 value = candidate.toIPv4Address(&ipv4);
                if (ipv4) {
                    address = value;
                    break;
                }
            }
            Answered(host, address);
        });
}

void HostLookup::Answered(const std::string& host, std::optional<std::uint32_t> address) {
    const auto asking = asking_.find(host);
    if (asking == asking_.end()) {
        return;
    }
    std::vector<Found> waiting = std::move(asking->second.waiting);
    asking_.erase(asking);
    if (address) {
        kept_[host] = {*address, std::chrono::steady_clock::now() + kKeptFor};
    }
    for (Found& found : waiting) {
        found(address);
    }
}
