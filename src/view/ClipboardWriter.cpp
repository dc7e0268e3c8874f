#include "ClipboardWriter.h"

#include "LogText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <charconv>

namespace {

constexpr std::string_view kStartHtmlField = "StartHTML:";
constexpr std::size_t kOffsetDigits = 8;

QByteArray Bytes(std::string_view bytes) {
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

} // namespace

HtmlClipboardFormat NativeHtmlClipboardFormat() {
#ifdef Q_OS_WIN
    return HtmlClipboardFormat::Registered;
#else
    return HtmlClipboardFormat::TextHtml;
#endif
}

std::string_view HtmlOfClipboardDocument(std::string_view document) {
    const std::size_t field = document.find(kStartHtmlField);
    if (field == std::string_view::npos ||
        document.size() - field < kStartHtmlField.size() + kOffsetDigits) {
        return document;
    }
    const char* digits = document.data() + field + kStartHtmlField.size();
    std::size_t start = 0;
    const auto [end, error] = std::from_chars(digits, digits + kOffsetDigits, start);
    if (error != std::errc() || end != digits + kOffsetDigits || start > document.size()) {
        return document;
    }
    return document.substr(start);
}

std::unique_ptr<QMimeData> MakeClipboardData(const CopiedSelection& copied,
                                             HtmlClipboardFormat format) {
    auto data = std::make_unique<QMimeData>();
    data->setText(LogTextToQString(copied.text));
    if (!copied.htmlFits) {
        return data;
    }
    switch (format) {
    case HtmlClipboardFormat::Registered: {
        // The format's readers may look for the end of the block as well as
        // at its offsets.
        QByteArray document = Bytes(copied.html);
        document.append('\0');
        data->setData(QLatin1String(kRegisteredHtmlMimeType), document);
        break;
    }
    case HtmlClipboardFormat::TextHtml:
        data->setData(QStringLiteral("text/html"), Bytes(HtmlOfClipboardDocument(copied.html)));
        break;
    }
    return data;
}

void PutOnClipboard(std::unique_ptr<QMimeData> data) {
    // The clipboard takes the data over.
    QGuiApplication::clipboard()->setMimeData(data.release());
}
