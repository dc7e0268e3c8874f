#include "ReplyAssembly.h"

std::string_view PrintedText(std::string_view datagram) {
    if (!datagram.starts_with(kPrintHeader)) {
        return {};
    }
    const std::string_view text = datagram.substr(kPrintHeader.size());
    return text.substr(0, text.find('\0'));
}

std::string_view FirstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

ReplyAssembly::Added ReplyAssembly::Add(std::string_view datagram) {
    if (datagram.empty()) {
        return Added::Closed;
    }
    const std::string_view printed = PrintedText(datagram);
    const std::size_t room = kMostTextBytes - text_.size();
    text_.append(printed.substr(0, room));
    cut_ = cut_ || printed.size() > room;
    return ++datagrams_ >= kMostDatagrams ? Added::Overflow : Added::Kept;
}
