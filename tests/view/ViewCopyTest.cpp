// Copy in a view: when it is enabled, and what it puts on the clipboard.
#include "ClipboardWriter.h"
#include "CommandIds.h"
#include "MessagePane.h"
#include "ViewTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <ostream>
#include <string_view>

namespace {

// What the worked example of the format gives for "ab" on a plain line: the
// fixed header with EndHTML 278 and EndFragment 243, and the HTML from byte 92.
constexpr std::string_view kAbHeader = "Version:0.9\n"
                                       "StartHTML:00000092\n"
                                       "EndHTML:00000278\n"
                                       "StartFragment:00000142\n"
                                       "EndFragment:00000243\n";
constexpr std::string_view kAbHtml =
    "<!DOCTYPE ...>\n<HTML>\n<BODY>\n<!--StartFragment-->\n"
    "<FONT face=\"Courier New\" style=\"background-color : #000000\">"
    "<FONT color=#c4c4ff>ab</FONT><br>\n</FONT>\n"
    "<!--EndFragment-->\n</BODY>\n</HTML>\n";

QByteArray Bytes(std::string_view bytes) {
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

const QMimeData& Clipboard() {
    return *QGuiApplication::clipboard()->mimeData();
}

void ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

TEST(ViewCopyTest, IsEnabledExactlyWhileASelectionIsShown) {
    ViewOnLog log("abcdef\nghijkl\n");
    CQuarvelView& view = log.view();
    QSignalSpy changes(&view, &CQuarvelView::commandStateChanged);
    EXPECT_FALSE(view.IsCommandEnabled(CommandId::kEditCopy));

    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(0, 1));
    QTest::mouseMove(window, log.PointAt(0, 4));
    QTest::mouseRelease(window, Qt::LeftButton, {}, log.PointAt(0, 4));
    EXPECT_TRUE(view.IsCommandEnabled(CommandId::kEditCopy));

    // A click without a move selects nothing.
    QTest::mouseClick(window, Qt::LeftButton, {}, log.PointAt(1, 2));
    EXPECT_FALSE(view.IsCommandEnabled(CommandId::kEditCopy));

    // A search hit, an empty one included, is a selection too.
    view.SelectRange(1, 3, 1, 2);
    EXPECT_TRUE(view.IsCommandEnabled(CommandId::kEditCopy));
    EXPECT_GE(changes.count(), 3);
}

TEST(ViewCopyTest, PutsTheTextAndTheHtml) {
    ViewOnLog log("ab\n");
    ClearClipboard();
    log.view().SelectRange(0, 0, 0, 1);
    ASSERT_TRUE(log.view().OnCommand(CommandId::kEditCopy));

    const QMimeData& data = Clipboard();
    EXPECT_TRUE(data.hasText());
    EXPECT_EQ(data.text(), QStringLiteral("ab"));
    const QString htmlFormat = NativeHtmlClipboardFormat() == HtmlClipboardFormat::Registered
                                   ? QString::fromLatin1(kRegisteredHtmlMimeType)
                                   : QStringLiteral("text/html");
    ASSERT_TRUE(data.hasFormat(htmlFormat)) << data.formats().join(", ").toStdString();
    if (NativeHtmlClipboardFormat() == HtmlClipboardFormat::Registered) {
        QByteArray document = Bytes(kAbHeader) + Bytes(kAbHtml);
        document.append('\0');
        EXPECT_EQ(data.data(htmlFormat), document);
    } else {
        EXPECT_EQ(data.data(htmlFormat), Bytes(kAbHtml));
    }
}

TEST(ViewCopyTest, TheTextKeepsTheFileLineEndsAndCodesAndDecodesHighBytes) {
    // Line 1 holds "caf" e-acute, a colour code and the euro sign.
    ViewOnLog log("abcd\r\ncaf\xE9 ^1\x80!\r\nlast\r\n");
    ClearClipboard();
    log.view().SelectRange(0, 2, 2, 1);
    ASSERT_TRUE(log.view().OnCommand(CommandId::kEditCopy));
    EXPECT_EQ(Clipboard().text(), QString::fromUtf8("cd\r\ncaf\u00E9 ^1\u20AC!\r\nla"));
}

TEST(ViewCopyTest, ADocumentTooLargeForItsOffsetsPutsTheTextAloneAndSaysSo) {
    // Every double quote is six bytes of HTML: 4200 lines of 4000 of them
    // make a document past 100,000,000 bytes.
    constexpr int kLines = 4200;
    constexpr int kWidth = 4000;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(kLines) * (kWidth + 1));
    for (int i = 0; i < kLines; ++i) {
        bytes.append(kWidth, '"');
        bytes += '\n';
    }
    QWidget mainWindow;
    auto* pane = new QLabel(QStringLiteral("Ready"), &mainWindow);
    pane->setObjectName(QLatin1String(kMessagePaneName));
    ViewOnLog log(bytes);
    log.view().setParent(&mainWindow);
    ClearClipboard();

    log.view().SelectRange(0, 0, kLines - 1, kWidth - 1);
    ASSERT_TRUE(log.view().OnCommand(CommandId::kEditCopy));
    const QMimeData& data = Clipboard();
    EXPECT_EQ(data.formats(), QStringList{QStringLiteral("text/plain")});
    EXPECT_EQ(data.text().size(), static_cast<qsizetype>(bytes.size()) - 1);
    EXPECT_EQ(pane->text(),
              QStringLiteral("Copied as plain text only: the selection is too large for HTML"));
}

// A team-1 name is drawn with its carets as characters: a drag over a word
// after it inverts the cells of that word and copies exactly that word.
TEST(ViewCopyTest, WhatIsSelectedOnScreenIsWhatIsCopied) {
    ViewOnLog log("   0:01 ClientConnect: 1 - 1.2.3.4:5 [0123456789ABCDEF0123456789ABCDEF]\n"
                  "   0:02 ClientUserinfoChanged: 1 n\\^1Vi^7per\\t\\1\\m\n"
                  "   1:14 sayteam: ^1Vi^7per: anyone up for a rematch?\n",
                  10, 60);
    ClearClipboard();
    // "   1:14 sayteam: " is 17 columns, the name its 9 bytes, then ": " and
    // "anyone up for a " put "rematch" at columns 44 to 50; the drag ends on
    // the "?" after it, where the caret will stand.
    QWidget* window = log.view().viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(2, 44));
    QTest::mouseMove(window, log.PointAt(2, 51));
    QTest::mouseRelease(window, Qt::LeftButton, {}, log.PointAt(2, 51));
    ASSERT_TRUE(log.view().OnCommand(CommandId::kEditCopy));
    EXPECT_EQ(Clipboard().text(), QStringLiteral("rematch"));

    // The inverted cells are the word's, no more.
    const QImage image = log.Grab();
    const auto inverted = [&](int cell) {
        return image.pixel(log.Cell(2, cell).topLeft()) != qRgb(0, 0, 0);
    };
    EXPECT_FALSE(inverted(43));
    for (int cell = 44; cell <= 50; ++cell) {
        EXPECT_TRUE(inverted(cell)) << cell;
    }
    EXPECT_FALSE(inverted(51));

    // And the name, selected as it is shown, is copied with its carets.
    log.view().SelectRange(2, 17, 2, 25);
    ASSERT_TRUE(log.view().OnCommand(CommandId::kEditCopy));
    EXPECT_EQ(Clipboard().text(), QStringLiteral("^1Vi^7per"));
}

TEST(ViewCopyTest, ASmallCopyLeavesTheMessagePaneAlone) {
    QWidget mainWindow;
    auto* pane = new QLabel(QStringLiteral("Ready"), &mainWindow);
    pane->setObjectName(QLatin1String(kMessagePaneName));
    ViewOnLog log("ab\n");
    log.view().setParent(&mainWindow);
    log.view().SelectRange(0, 0, 0, 1);
    ASSERT_TRUE(log.view().OnCommand(CommandId::kEditCopy));
    EXPECT_EQ(pane->text(), QStringLiteral("Ready"));
}

// The clipboard's formats for each way of putting the document.
struct FormatCase {
    const char* name;
    HtmlClipboardFormat format;
    bool htmlFits;
    QStringList formats;
    QByteArray html; // under the last format, when there is one
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class ClipboardDataTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ClipboardDataTest, PutsTheTextAndTheDocumentInItsFormat) {
    const FormatCase& c = GetParam();
    CopiedSelection copied;
    copied.text = "a\xE9";
    copied.htmlFits = c.htmlFits;
    if (c.htmlFits) {
        copied.html = std::string(kAbHeader) + std::string(kAbHtml);
    }
    const auto data = MakeClipboardData(copied, c.format);
    EXPECT_EQ(data->formats(), c.formats);
    EXPECT_EQ(data->text(), QString::fromUtf8("a\u00E9"));
    if (c.formats.size() > 1) {
        EXPECT_EQ(data->data(c.formats.back()), c.html);
    }
}

QByteArray WithZero(QByteArray bytes) {
    bytes.append('\0');
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ClipboardDataTest,
    ::testing::Values(
        FormatCase{"RegisteredTakesTheWholeDocumentAndItsZero",
                   HtmlClipboardFormat::Registered,
                   true,
                   {QStringLiteral("text/plain"), QString::fromLatin1(kRegisteredHtmlMimeType)},
                   WithZero(Bytes(kAbHeader) + Bytes(kAbHtml))},
        FormatCase{"TextHtmlTakesTheHtmlAfterTheHeader",
                   HtmlClipboardFormat::TextHtml,
                   true,
                   {QStringLiteral("text/plain"), QStringLiteral("text/html")},
                   Bytes(kAbHtml)},
        FormatCase{
            "RegisteredTooLarge", HtmlClipboardFormat::Registered, false, {"text/plain"}, {}},
        FormatCase{"TextHtmlTooLarge", HtmlClipboardFormat::TextHtml, false, {"text/plain"}, {}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

struct HeaderCase {
    const char* name;
    std::string document;
    std::string html;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

class HtmlOfDocumentTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HtmlOfDocumentTest, StartsAtTheHeadersOffsetOrTakesItAll) {
    EXPECT_EQ(HtmlOfClipboardDocument(GetParam().document), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HtmlOfDocumentTest,
    ::testing::Values(
        HeaderCase{"Offset", "StartHTML:00000019\n<b>x</b>", "<b>x</b>"},
        HeaderCase{"OffsetAtTheEnd", "StartHTML:00000019\n", ""},
        HeaderCase{"NoHeader", "<b>x</b>", "<b>x</b>"},
        HeaderCase{"TooFewDigits", "StartHTML:0020", "StartHTML:0020"},
        HeaderCase{"NotDigits", "StartHTML:0000002x\n<b>x</b>", "StartHTML:0000002x\n<b>x</b>"},
        HeaderCase{"PastTheEnd", "StartHTML:00000099\n<b>", "StartHTML:00000099\n<b>"}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

} // namespace
