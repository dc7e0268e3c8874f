// What the view draws, read back from its pixels: kind colours, colour codes
// applied or shown, clipped runs, the background, the selection, printing.
#include "LogPrintJob.h"
#include "ModelLines.h"
#include "PaperColours.h"
#include "ViewTestSupport.h"

#include <QFileInfo>
#include <QFocusEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>

namespace {

constexpr QRgb kBlack = 0xFF000000;

// The brightest pixel of a cell: where a glyph's stroke covers a whole pixel
// it shows the text colour itself.
QRgb BrightestInk(const QImage& image, const QRect& cell) {
    QRgb best = kBlack;
    int bestSum = -1;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int sum = qRed(p) + qGreen(p) + qBlue(p);
            if (sum > bestSum) {
                best = p;
                bestSum = sum;
            }
        }
    }
    return best;
}

bool IsBlank(const QImage& image, const QRect& cell, QRgb background = kBlack) {
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            if (image.pixel(x, y) != background) {
                return false;
            }
        }
    }
    return true;
}

// Whether a cell's brightest pixel is the text colour, or that colour a
// little dimmed where a thin stroke covers no pixel whole.
::testing::AssertionResult InkIs(const QImage& image, const QRect& cell, Rgb colour) {
    const QRgb ink = BrightestInk(image, cell);
    const int expected[] = {qRed(QRgb(colour)), qGreen(QRgb(colour)), qBlue(QRgb(colour))};
    const int seen[] = {qRed(ink), qGreen(ink), qBlue(ink)};
    const int brightest = *std::max_element(std::begin(expected), std::end(expected));
    const double cover =
        static_cast<double>(*std::max_element(std::begin(seen), std::end(seen))) / brightest;
    bool shade = cover >= 0.9 && cover <= 1.0;
    for (int i = 0; i < 3; ++i) {
        shade = shade && std::abs(seen[i] - cover * expected[i]) <= 3.0;
    }
    char text[64];
    std::snprintf(text, sizeof text, "ink %06X, text colour %06X", ink & 0xFFFFFFu, colour);
    return shade ? ::testing::AssertionSuccess() << text : ::testing::AssertionFailure() << text;
}

std::string Hex(QRgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", colour & 0xFFFFFFu);
    return text;
}

constexpr QRgb Opaque(Rgb colour) {
    return 0xFF000000u | colour;
}

// A connection for slot 0, then the name "^1TE^7ST" on team 1 (kind 4, its
// codes drawn as text) and on team 0 (kind 3, its codes applied).
const std::string kNames = "   0:03 ClientConnect: 0 - 10.0.0.1:20100 "
                           "[0123456789ABCDEF0123456789ABCDEF]\n"
                           "   0:03 ClientUserinfoChanged: 0 n\\^1TE^7ST\\t\\1\\model\\x\n"
                           "   0:04 ClientUserinfoChanged: 1 n\\^1TE^7ST\\t\\0\\model\\x\n"
                           "   0:05 say: Nobody: HE ^1THERE\n"
                           "   0:06 ClientUserinfoChanged: 2 n\\^7AB^1CD\\t\\0\\model\\x\n";
constexpr int kNameColumn = 35; // where the names start, in bytes and in columns

class ViewPaintTest : public ::testing::Test {
protected:
    ViewOnLog log{kNames, 8, 60};
    CQuarvelView& view = log.view();
};

TEST_F(ViewPaintTest, ATeamOneNameIsRedWithItsCodesShownAsText) {
    const QImage image = log.Grab();
    // "^1TE^7ST" takes eight cells, all #FF1919.
    for (const int cell : {1, 2, 3, 6, 7}) { // '1', 'T', 'E', 'S', 'T'
        EXPECT_TRUE(InkIs(image, log.Cell(1, kNameColumn + cell), 0xFF1919)) << cell;
    }
    for (const int cell : {0, 4}) { // the carets show, in the name's colour
        const QRgb ink = BrightestInk(image, log.Cell(1, kNameColumn + cell));
        EXPECT_NE(ink, kBlack) << cell;
        EXPECT_GT(qRed(ink), 3 * qGreen(ink)) << Hex(ink);
    }
    EXPECT_TRUE(InkIs(image, log.Cell(1, kNameColumn + 5), 0xFF1919)) << "the '7'";
}

TEST_F(ViewPaintTest, ATeamZeroNameFollowsItsCodesAndHidesThem) {
    const QImage image = log.Grab();
    // "TEST": red from ^1, white from ^7, in four cells.
    EXPECT_TRUE(InkIs(image, log.Cell(2, kNameColumn + 0), 0xFF1919));
    EXPECT_TRUE(InkIs(image, log.Cell(2, kNameColumn + 1), 0xFF1919));
    EXPECT_TRUE(InkIs(image, log.Cell(2, kNameColumn + 2), 0xFFFFFF));
    EXPECT_TRUE(InkIs(image, log.Cell(2, kNameColumn + 3), 0xFFFFFF));
    // Then the gap "\t\0..." in the plain colour, right after the name.
    EXPECT_TRUE(InkIs(image, log.Cell(2, kNameColumn + 5), 0xC4C4FF)) << "the 't'";
}

TEST_F(ViewPaintTest, ASayMessageIsGreenUntilACodeSwitchesIt) {
    const QImage image = log.Grab();
    // "HE ^1THERE" from column 21: H, E, blank, then THERE in red.
    const int message = 21;
    EXPECT_TRUE(InkIs(image, log.Cell(3, message + 0), 0xA9C274));
    EXPECT_TRUE(InkIs(image, log.Cell(3, message + 1), 0xA9C274));
    EXPECT_TRUE(IsBlank(image, log.Cell(3, message + 2)));
    for (int cell = 3; cell < 8; ++cell) {
        EXPECT_TRUE(InkIs(image, log.Cell(3, message + cell), 0xFF1919)) << cell;
    }
    EXPECT_TRUE(IsBlank(image, log.Cell(3, message + 8))) << "the line ends after THERE";
}

TEST_F(ViewPaintTest, KeywordsAndSlotNumbersHaveTheirKindColours) {
    const QImage image = log.Grab();
    EXPECT_TRUE(InkIs(image, log.Cell(1, 8), 0xFFFFFF)) << "keyword";
    EXPECT_TRUE(InkIs(image, log.Cell(3, 13), 0xC000C0)) << "a chat name of no slot";
}

TEST_F(ViewPaintTest, TheBackgroundIsBlackAroundAndAfterTheLines) {
    const QImage image = log.Grab();
    EXPECT_TRUE(IsBlank(image, QRect(0, 0, image.width(), CQuarvelView::kTopMargin)));
    EXPECT_TRUE(IsBlank(image, QRect(0, 0, CQuarvelView::kLeftMargin, image.height())));
    EXPECT_TRUE(IsBlank(image, log.Cell(0, 0))) << "the time is right-aligned";
    const int belowLines = CQuarvelView::kTopMargin + 5 * view.lineHeight();
    EXPECT_TRUE(IsBlank(image, QRect(0, belowLines, image.width(), image.height() - belowLines)));
    EXPECT_TRUE(IsBlank(image, log.Cell(3, 40))) << "after a short line";
}

TEST(ViewPaintClippedTest, AClippedRunTakesTheColourOfTheLastCodeLeftOfTheView) {
    // A window narrow enough to scroll the names to its left edge.
    ViewOnLog log{kNames, 8, 20};
    CQuarvelView& view = log.view();
    // Line 4 holds "^7AB^1CD" on team 0: scrolled so that 'C' is the first
    // visible column, the ^1 left of it still makes it red.
    for (int i = 0; i < kNameColumn + 2; ++i) {
        view.OnHScroll(QAbstractSlider::SliderSingleStepAdd);
    }
    ASSERT_EQ(view.firstColumn(), kNameColumn + 2);
    const QImage image = log.Grab();
    EXPECT_TRUE(InkIs(image, log.Cell(4, 0), 0xFF1919)) << "C";
    EXPECT_TRUE(InkIs(image, log.Cell(4, 1), 0xFF1919)) << "D";
    EXPECT_TRUE(InkIs(image, log.Cell(4, 3), 0xC4C4FF)) << "t, after the name";
    // One column further left, 'B' shows first, in the colour of ^7.
    view.OnHScroll(QAbstractSlider::SliderSingleStepSub);
    EXPECT_TRUE(InkIs(log.Grab(), log.Cell(4, 0), 0xFFFFFF)) << "B";
}

TEST(ViewPaintClippedTest, AFirstColumnPastALinesEndLeavesItsRowBlack) {
    ViewOnLog log{kNames, 8, 20};
    CQuarvelView& view = log.view();
    view.OnHScroll(QAbstractSlider::SliderToMaximum);
    const QImage image = log.Grab();
    const int rowWidth = image.width() - CQuarvelView::kLeftMargin;
    int blankRows = 0;
    for (int line = 0; line < view.lineCount(); ++line) {
        const QRect row(CQuarvelView::kLeftMargin, log.Cell(line, 0).top(), rowWidth,
                        view.lineHeight());
        const bool pastTheEnd =
            log.document().model().Line(line).visibleLength <= view.firstColumn();
        EXPECT_EQ(IsBlank(image, row), pastTheEnd) << "line " << line;
        blankRows += pastTheEnd ? 1 : 0;
    }
    EXPECT_GT(blankRows, 0);
    EXPECT_LT(blankRows, view.lineCount()) << "the widest line still shows its end";
}

TEST_F(ViewPaintTest, SelectedCellsAreInverted) {
    // Columns 8..9 of line 1: "Cl" of the keyword, white on black.
    view.SelectRange(1, 8, 1, 9);
    const QImage image = log.Grab();
    const QRect selected = log.Cell(1, 8);
    EXPECT_EQ(image.pixel(selected.topLeft()), 0xFFFFFFFF) << "white behind the text";
    EXPECT_EQ(image.pixel(log.Cell(1, 9).topLeft()), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(log.Cell(1, 10).topLeft()), kBlack) << "past the selection";
    EXPECT_EQ(image.pixel(log.Cell(1, 7).topLeft()), kBlack) << "before it";
    // The white keyword's strokes turn black.
    QRgb darkest = 0xFFFFFFFF;
    for (int y = selected.top(); y <= selected.bottom(); ++y) {
        for (int x = selected.left(); x <= selected.right(); ++x) {
            darkest = qGray(image.pixel(x, y)) < qGray(darkest) ? image.pixel(x, y) : darkest;
        }
    }
    EXPECT_EQ(darkest, kBlack);
}

TEST_F(ViewPaintTest, ASelectionStopsAtTheEndOfEachLine) {
    view.SelectRange(3, 20, 4, 3);
    const QImage image = log.Grab();
    // Line 3 has 29 visible columns: 20..28 inverted, 29 on not.
    EXPECT_EQ(image.pixel(log.Cell(3, 28).topLeft()), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(log.Cell(3, 29).topLeft()), kBlack);
    EXPECT_EQ(image.pixel(log.Cell(4, 0).topLeft()), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(log.Cell(4, 3).topLeft()), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(log.Cell(4, 4).topLeft()), kBlack);
}

// Paper shows the characters the screen shows, cell for cell, dark on white
// below the page's header, and no selection.
TEST_F(ViewPaintTest, PrintingDrawsTheScreensCharactersOnWhite) {
    const QImage screen = log.Grab();
    view.SelectRange(1, 8, 2, 12); // not shown on paper
    ModelLines lines(log.document().model());
    const int cw = view.charWidth();
    const int lh = view.lineHeight();
    const QSize page(2 * LogPrintJob::kMargin + 100 * cw, 2 * LogPrintJob::kMargin + 20 * lh);
    LogPrintJob job(lines, view.fonts(), view.caretColours(), view.kindTables(),
                    PrintLayout::WholeLog(lines), PrintChoice{}, page, QStringLiteral("x.log"));
    QImage paper(page, QImage::Format_RGB32);
    paper.fill(Qt::black);
    {
        QPainter painter(&paper);
        job.PaintPage(painter, 0);
    }
    int inkedCells = 0;
    for (int row = 0; row < 5; ++row) {
        for (int cell = 0; cell < 60; ++cell) {
            const QRect onPaper(LogPrintJob::kMargin + cell * cw,
                                LogPrintJob::kMargin + (LogPrintJob::kHeaderRows + row) * lh, cw,
                                lh);
            const bool inked = !IsBlank(screen, log.Cell(row, cell));
            EXPECT_EQ(!IsBlank(paper, onPaper, 0xFFFFFFFF), inked) << row << ":" << cell;
            inkedCells += inked ? 1 : 0;
        }
    }
    EXPECT_GT(inkedCells, 100);
}

// On paper a team-1 name keeps its red, darkened enough to read on white,
// and a white (team-0) name turns grey.
TEST_F(ViewPaintTest, PrintedKindsTakeTheirColoursMadeLegibleOnWhite) {
    ModelLines lines(log.document().model());
    const int cw = view.charWidth();
    const int lh = view.lineHeight();
    const QSize page(2 * LogPrintJob::kMargin + 100 * cw, 2 * LogPrintJob::kMargin + 20 * lh);
    LogPrintJob job(lines, view.fonts(), view.caretColours(), view.kindTables(),
                    PrintLayout::WholeLog(lines), PrintChoice{}, page, QStringLiteral("x.log"));
    QImage paper(page, QImage::Format_RGB32);
    {
        QPainter painter(&paper);
        job.PaintPage(painter, 0);
    }
    const auto cell = [&](int row, int column) {
        return QRect(LogPrintJob::kMargin + column * cw,
                     LogPrintJob::kMargin + (LogPrintJob::kHeaderRows + row) * lh, cw, lh);
    };
    const auto darkest = [&](const QRect& area) {
        QRgb best = 0xFFFFFFFF;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = paper.pixel(x, y);
                if (qRed(p) + qGreen(p) + qBlue(p) < qRed(best) + qGreen(best) + qBlue(best)) {
                    best = p;
                }
            }
        }
        return best & 0xFFFFFFu;
    };
    EXPECT_EQ(paper.pixel(1, 1), 0xFFFFFFFF) << "white paper";
    EXPECT_EQ(Hex(darkest(cell(1, kNameColumn + 1))), Hex(LegibleOnWhite(0xFF1919)))
        << "the '1' of the team-1 name";
    EXPECT_EQ(Hex(darkest(cell(2, kNameColumn + 2))), Hex(LegibleOnWhite(0xFFFFFF)))
        << "the 'S' after ^7 in the team-0 name";
}

TEST_F(ViewPaintTest, PrintingToAPdfWritesEveryPage) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("log.pdf"));
    {
        QPdfWriter writer(path);
        EXPECT_TRUE(view.Print(writer, PrintChoice{}));
    }
    EXPECT_GT(QFileInfo(path).size(), 1000);
}

// The caret is a 2 x 16 block that inverts what lies under it, shown while
// the view is active.
TEST_F(ViewPaintTest, TheCaretShowsWhileTheViewIsActive) {
    const QRect caret(CQuarvelView::kLeftMargin, CQuarvelView::kTopMargin,
                      CQuarvelView::kCaretWidth, CQuarvelView::kCaretHeight);
    EXPECT_FALSE(view.caretShown());
    EXPECT_TRUE(IsBlank(log.Grab(), caret));

    QFocusEvent activated(QEvent::FocusIn);
    QCoreApplication::sendEvent(&view, &activated);
    EXPECT_TRUE(view.caretShown());
    EXPECT_TRUE(IsBlank(log.Grab(), caret, 0xFFFFFFFF)) << "white over the black of a blank";

    // A click moves it to the cell clicked (a blank one, so all of it is
    // white).
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, log.PointAt(3, 1));
    const QImage image = log.Grab();
    EXPECT_TRUE(IsBlank(image, caret)) << "gone from where it was";
    EXPECT_TRUE(
        IsBlank(image, caret.translated(view.charWidth(), 3 * view.lineHeight()), 0xFFFFFFFF))
        << "at line 3, column 1";

    QFocusEvent deactivated(QEvent::FocusOut);
    QCoreApplication::sendEvent(&view, &deactivated);
    EXPECT_FALSE(view.caretShown());
}

// Bytes the file holds beyond the plain characters.
TEST(ViewBytesTest, ControlBytesTakeOneCellAndCodesAbove0x7FAreWhite) {
    ViewOnLog log("   0:01 A\x01"
                  "B\tC\n"
                  "   0:02 say: Nobody: ^\xE9X\n");
    const QImage image = log.Grab();
    EXPECT_NE(BrightestInk(image, log.Cell(0, 9)), kBlack) << "a placeholder for 0x01";
    EXPECT_NE(BrightestInk(image, log.Cell(0, 11)), kBlack) << "a placeholder for the tab";
    EXPECT_TRUE(InkIs(image, log.Cell(0, 10), 0xC4C4FF)) << "B stays in its column";
    EXPECT_TRUE(InkIs(image, log.Cell(0, 12), 0xC4C4FF)) << "C stays in its column";
    EXPECT_TRUE(InkIs(image, log.Cell(1, 21), 0xFFFFFF)) << "X after the code ^\\xE9";
}

TEST(ViewBytesTest, ALogThatDidNotLoadShowsOnlyTheBackground) {
    ViewOnLog log("");
    ASSERT_NE(log.document().model().loadStatus(), LoadStatus::Loaded);
    const QImage image = log.Grab();
    EXPECT_TRUE(IsBlank(image, image.rect()));
}

} // namespace
