#pragma once

#include "CaretColourTable.h"
#include "KindTables.h"
#include "LogLine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Builds the "HTML Format" clipboard document of one copy: a fixed header
// with the byte offsets of the HTML and of the fragment, then the selected
// lines in the colours of the screen, one "<br>\n" after each.
//
// The format is UTF-8 by definition, so every log byte above 0x7F is written
// as the UTF-8 form of its Windows-1252 character, and the offsets count the
// encoded bytes. Its offsets have eight digits: a document of kDocumentLimit
// bytes or more cannot be described and is not made.
class HtmlExport {
public:
    static constexpr std::size_t kDocumentLimit = 100'000'000;

    explicit HtmlExport(const KindTables& kinds);

    // Appends bytes [from, to) of the line, then "<br>\n".
    void AddLine(const LineView& line, int from, int to);

    // Builds the document. False (and no document) when it would reach the
    // limit.
    bool Finish();

    const std::string& document() const { return document_; }

private:
    void AppendSpan(LineKind kind, const char* p, int length, int skip);
    void AppendPiece(Rgb colour, const char* p, int length);
    bool CheckLimit();
    void MarkTooLong();

    std::string document_;
    std::string body_;
    CaretColourTable caretColours_;
    const KindTables& kinds_;
    bool tooLong_ = false;
};
