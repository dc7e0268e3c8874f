#pragma once

#include "Windows1252.h"

#include <QString>
#include <string>
#include <string_view>

// Log bytes meet Qt here and only here: they are Windows-1252.
inline QString LogTextToQString(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        text += QChar(static_cast<char16_t>(Windows1252ToCodePoint(static_cast<unsigned char>(c))));
    }
    return text;
}

// Text typed by the user, as the log's bytes; characters with no byte become '?'.
inline std::string QStringToLogText(const QString& text) {
    return Utf8ToWindows1252(text.toStdString());
}
