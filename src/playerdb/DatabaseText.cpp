#include "DatabaseText.h"

#include "Windows1252.h"

#include <string>

QString LogBytesToDatabaseText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::string utf8 = Windows1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
