#include "HtmlExport.h"

#include "CaretCodes.h"
#include "LineRuns.h"
#include "Windows1252.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view kHeader = "Version:0.9\n"
                                     "StartHTML:00000092\n"
                                     "EndHTML:00000000\n"
                                     "StartFragment:00000142\n"
                                     "EndFragment:00000000\n"
                                     "<!DOCTYPE ...>\n"
                                     "<HTML>\n"
                                     "<BODY>\n"
                                     "<!--StartFragment-->\n";
constexpr std::size_t kEndHtmlDigits = 39;
constexpr std::size_t kEndFragmentDigits = 83;
constexpr std::string_view kOpenFont =
    "<FONT face=\"Courier New\" style=\"background-color : #000000\">";
constexpr std::string_view kLineEnd = "<br>\n";
constexpr std::string_view kCloseFont = "</FONT>\n";
constexpr std::string_view kFooter = "<!--EndFragment-->\n</BODY>\n</HTML>\n";

static_assert(kHeader.size() == 142);
static_assert(kOpenFont.size() == 60);
static_assert(kFooter.size() == 35);

constexpr std::size_t kFixedBytes =
    kHeader.size() + kOpenFont.size() + kCloseFont.size() + kFooter.size();

// Writes `value` as eight zero-padded digits over the template's zeros.
void WriteOffset(std::string& document, std::size_t at, std::size_t value) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08zu", value);
    document.replace(at, 8, digits, 8);
}

bool NeedsRewriting(char c) {
    return static_cast<unsigned char>(c) >= 0x80 || c == '&' || c == '>' || c == '<' || c == '"';
}

// The four characters HTML gives a meaning are escaped; the rest of ASCII
// stands as it is and higher bytes become UTF-8. Stops, returning false, as
// soon as `out` would grow past `limit` bytes.
bool AppendEscaped(std::string& out, const char* p, int length, std::size_t limit) {
    int i = 0;
    while (i < length) {
        if (out.size() > limit) {
            return false;
        }
        int j = i;
        while (j < length && !NeedsRewriting(p[j])) {
            ++j;
        }
        if (out.size() + static_cast<std::size_t>(j - i) > limit) {
            return false;
        }
        out.append(p + i, static_cast<std::size_t>(j - i));
        if (j >= length) {
            break;
        }
        if (static_cast<unsigned char>(p[j]) >= 0x80) {
            int k = j;
            // In bounded pieces, so the limit is looked at between them.
            constexpr int kPiece = 4096;
            while (k < length && k - j < kPiece && static_cast<unsigned char>(p[k]) >= 0x80) {
                ++k;
            }
            out += Windows1252ToUtf8(std::string_view(p + j, static_cast<std::size_t>(k - j)));
            i = k;
            continue;
        }
        switch (p[j]) {
        case '&':
            out += "&amp;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '<':
            out += "&lt;";
            break;
        default:
            out += "&quot;";
            break;
        }
        i = j + 1;
    }
    return out.size() <= limit;
}

} // namespace

HtmlExport::HtmlExport(const KindTables& kinds) : kinds_(kinds) {}

void HtmlExport::AddLine(const LineView& line, int from, int to) {
    if (tooLong_) {
        return;
    }
    const int lineEnd = std::max(line.byteLength, 0);
    from = std::clamp(from, 0, lineEnd);
    to = std::clamp(to, 0, lineEnd);
    for (const LineRun& run : LineRuns(line)) {
        if (run.start >= to) {
            break;
        }
        if (run.end() <= from) {
            continue;
        }
        const int length = std::min(run.end(), to) - run.start;
        AppendSpan(run.kind, line.text + run.start, length, std::max(from - run.start, 0));
        if (tooLong_) {
            return;
        }
    }
    body_ += kLineEnd;
    CheckLimit();
}

// Past the limit the document can never be made: stop growing it. Checked
// as the body grows, so one long line of codes never builds more than the
// limit.
bool HtmlExport::CheckLimit() {
    if (!tooLong_ && body_.size() + kFixedBytes >= kDocumentLimit) {
        MarkTooLong();
    }
    return !tooLong_;
}

void HtmlExport::MarkTooLong() {
    tooLong_ = true;
    body_.clear();
    body_.shrink_to_fit();
}

bool HtmlExport::Finish() {
    document_.clear();
    if (tooLong_ || body_.size() + kFixedBytes >= kDocumentLimit) {
        return false;
    }
    document_.reserve(body_.size() + kFixedBytes);
    document_ += kHeader;
    document_ += kOpenFont;
    document_ += body_;
    document_ += kCloseFont;
    document_ += kFooter;
    // EndHTML is the last byte's offset, EndFragment that of the LF closing
    // "</FONT>\n".
    const std::size_t length = document_.size();
    WriteOffset(document_, kEndHtmlDigits, length - 1);
    WriteOffset(document_, kEndFragmentDigits, length - 1 - kFooter.size());
    return true;
}

void HtmlExport::AppendSpan(LineKind kind, const char* p, int length, int skip) {
    const std::uint32_t style = kinds_.Style(kind);
    if (style & kStyleBold) {
        body_ += "<B>";
    }

    // Every code of every kind ends a piece and starts one in its colour; a
    // doubled caret is written as it stands, a trailing one is not written.
    // Codes left of the selection still set the colour its first piece starts
    // in; a code that straddles the selection's start is taken whole.
    Rgb colour = kinds_.Colour(kind);
    const auto from = static_cast<std::size_t>(std::max(skip, 0));
    bool pieceOpen = false;
    std::size_t pieceStart = 0;
    Rgb pieceColour = colour;
    const auto open = [&](std::size_t at) {
        if (!pieceOpen) {
            pieceOpen = true;
            pieceStart = at;
            pieceColour = colour;
        }
    };
    const auto close = [&](std::size_t at) {
        AppendPiece(pieceColour, p + pieceStart, static_cast<int>(at - pieceStart));
        pieceOpen = false;
    };
    const std::string_view span(p, static_cast<std::size_t>(std::max(length, 0)));
    ForEachCaretToken(span, [&](const CaretPiece& piece) {
        if (piece.at < from) {
            if (piece.token == CaretToken::ColourCode) {
                colour = caretColours_.Colour(piece.code());
            } else if (piece.token == CaretToken::Character && piece.end() > from) {
                open(from);
            }
            return true;
        }
        open(piece.at);
        if (piece.token == CaretToken::ColourCode) {
            close(piece.at);
            colour = caretColours_.Colour(piece.code());
        } else if (piece.token == CaretToken::TrailingCaret) {
            close(piece.at);
        }
        return !tooLong_;
    });
    if (pieceOpen && !tooLong_) {
        close(span.size());
    }

    if (style & kStyleBold) {
        body_ += "</B>";
    }
}

void HtmlExport::AppendPiece(Rgb colour, const char* p, int length) {
    if (!CheckLimit()) {
        return;
    }
    char open[24];
    std::snprintf(open, sizeof open, "<FONT color=#%06x>",
                  static_cast<unsigned>(colour & 0xFFFFFFu));
    body_ += open;
    if (!AppendEscaped(body_, p, length, kDocumentLimit - kFixedBytes)) {
        MarkTooLong();
        return;
    }
    body_ += "</FONT>";
}
