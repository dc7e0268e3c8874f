#pragma once

#include "SelectionCopy.h"

#include <QMimeData>
#include <memory>
#include <string_view>

// Where the "HTML Format" document of a copy goes among the clipboard's
// formats.
enum class HtmlClipboardFormat {
    // The registered clipboard format "HTML Format", holding the document as
    // it is, header and terminating zero byte included (Windows). Qt would
    // wrap text/html in a header of its own, so the document goes under the
    // registered name instead.
    Registered,
    // text/html, holding the HTML the document's header points at (every
    // other desktop, whose programs take text/html as a plain HTML document
    // and would show the header's lines as text).
    TextHtml,
};

// The MIME type under which Qt hands bytes to the Windows clipboard format
// "HTML Format" unchanged.
inline constexpr char kRegisteredHtmlMimeType[] =
    "application/x-qt-windows-mime;value=\"HTML Format\"";

// The format this platform's clipboard takes the document in.
HtmlClipboardFormat NativeHtmlClipboardFormat();

// The HTML of a clipboard document: its bytes from the offset in the
// header's StartHTML field on. The whole document when it has no such field.
std::string_view HtmlOfClipboardDocument(std::string_view document);

// What a copy puts on the clipboard: the selected bytes decoded as
// Windows-1252 as the plain text, and the document in `format` when it fit.
std::unique_ptr<QMimeData> MakeClipboardData(const CopiedSelection& copied,
                                             HtmlClipboardFormat format);

// Replaces what the clipboard holds with `data`.
void PutOnClipboard(std::unique_ptr<QMimeData> data);
