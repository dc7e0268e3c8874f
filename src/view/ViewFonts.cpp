#include "ViewFonts.h"

#include "Windows1252.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

namespace {

constexpr int kPointSize = 10;

// Code points that are controls show no character of their own.
bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
}

QFont CourierNew(bool bold) {
    QFont font(QStringLiteral("Courier New"), kPointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(bold);
    // Every byte has its own cell: nothing may join or shift characters.
    font.setKerning(false);
    font.setStyleStrategy(QFont::NoFontMerging);
    if (QFontInfo(font).fixedPitch()) {
        return font;
    }
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(kPointSize);
    fixed.setBold(bold);
    fixed.setKerning(false);
    fixed.setStyleStrategy(QFont::NoFontMerging);
    return fixed;
}

} // namespace

CellFont::CellFont(const QFont& font)
    : font_(font), rawFont_(QRawFont::fromFont(font)), ascent_(QFontMetrics(font).ascent()) {
    // The face's missing-glyph box is glyph 0.
    constexpr quint32 kPlaceholder = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t codePoint = Windows1252ToCodePoint(static_cast<unsigned char>(byte));
        const auto index = static_cast<std::size_t>(byte);
        if (IsControl(codePoint)) {
            glyphs_[index] = kPlaceholder;
            inks_[index] = true;
            continue;
        }
        const QList<quint32> glyphs =
            rawFont_.glyphIndexesForString(QString(QChar(static_cast<char16_t>(codePoint))));
        glyphs_[index] = glyphs.isEmpty() ? kPlaceholder : glyphs.front();
        inks_[index] = codePoint != U' ' && codePoint != 0xA0;
    }
}

ViewFonts::ViewFonts() : normalFont_(CourierNew(false)), boldFont_(CourierNew(true)) {
    const QFontMetrics metrics(normalFont_.font());
    charWidth_ = std::max(metrics.horizontalAdvance(QLatin1Char('A')), 1);
    lineHeight_ = std::max(metrics.height(), 1);
}
