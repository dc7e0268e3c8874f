// Find and Find next in a view: the Search dialog answered as a user would,
// hits becoming the selection, the messages, and the options the settings
// keep from one view to the next.
#include "CommandIds.h"
#include "MessageRecorder.h"
#include "SearchDialogDriver.h"
#include "ViewTestSupport.h"

#include <QKeyEvent>
#include <QProgressDialog>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <vector>

// Found by GoogleTest next to the types themselves.
inline void PrintTo(const TextPosition& p, std::ostream* os) {
    *os << "(" << p.line << ", " << p.column << ")";
}

namespace {

const Message kNoMatches{"No matches", "Quarvel", MessageIcon::None};
const Message kNoMoreMatches{"No more matches", "Quarvel", MessageIcon::None};
const Message kBadExpression{"Bad regular expression supplied", "Error", MessageIcon::Error};

// Bob in three places, once behind a colour code in a chat message (where
// the code is hidden), and bob in lower case.
constexpr char kBobLog[] = "Bob and Bob\n"
                           "nothing here\n"
                           "  12:34 say: Zed: ^1Bob yy\n"
                           "bob in lower case\n";
constexpr int kBobLogLines = 4;

void ClearSettings() {
    QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
    settings.clear();
    settings.sync();
}

void StoreOptions(const QVariant& caseSensitive, const QVariant& regExp,
                  const QVariant& backwards) {
    QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("CaseSensitive"), caseSensitive);
    settings.setValue(QStringLiteral("RegExp"), regExp);
    settings.setValue(QStringLiteral("Backwards"), backwards);
}

struct StoredOptions {
    QVariant caseSensitive;
    QVariant regExp;
    QVariant backwards;
    QStringList keys;
};

StoredOptions ReadStoredOptions() {
    QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
    settings.beginGroup(QStringLiteral("Settings"));
    return {settings.value(QStringLiteral("CaseSensitive")),
            settings.value(QStringLiteral("RegExp")), settings.value(QStringLiteral("Backwards")),
            settings.childKeys()};
}

// A view on a log with its messages recorded.
class SearchView {
public:
    explicit SearchView(const std::string& bytes) : log_(bytes) {
        log_.view().SetMessageSink(messages_);
    }

    CQuarvelView& view() { return log_.view(); }
    ViewOnLog& log() { return log_; }

    // Find, with the dialog answered; what the dialog showed on opening.
    ShownSearch Find(const SearchAnswer& answer) {
        SearchDialogDriver driver(view().searchDialog(), answer);
        EXPECT_TRUE(view().OnCommand(CommandId::kFind));
        EXPECT_EQ(driver.opened, 1);
        return driver.shown;
    }

    void FindNext() { EXPECT_TRUE(view().OnCommand(CommandId::kFindNext)); }

    // The messages shown since the last call.
    std::vector<Message> TakeMessages() {
        std::vector<Message> shown;
        shown.swap(messages_.messages);
        return shown;
    }

    std::optional<SelectionBounds> ActiveSelection() {
        if (!view().selectionActive()) {
            return std::nullopt;
        }
        return view().selection();
    }

    TextPosition Caret() { return {view().caretLine(), view().caretColumn()}; }

private:
    ViewOnLog log_;
    MessageRecorder messages_;
};

class ViewSearchTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
};

TEST_F(ViewSearchTest, BothCommandsAreAlwaysEnabled) {
    SearchView search(kBobLog);
    EXPECT_TRUE(search.view().IsCommandEnabled(CommandId::kFind));
    EXPECT_TRUE(search.view().IsCommandEnabled(CommandId::kFindNext));
    search.view().SelectRange(0, 0, 0, 2);
    EXPECT_TRUE(search.view().IsCommandEnabled(CommandId::kFind));
    EXPECT_TRUE(search.view().IsCommandEnabled(CommandId::kFindNext));
}

TEST_F(ViewSearchTest, AHitBecomesTheSelectionWithTheCaretOnItsFirstCharacter) {
    SearchView search(kBobLog);
    search.Find({"Bob"});
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{0, 0, 0, 2}));
    EXPECT_EQ(search.Caret(), (TextPosition{0, 0}));
    EXPECT_TRUE(search.TakeMessages().empty());
}

TEST_F(ViewSearchTest, NothingFoundSaysNoMatchesAndLeavesCaretAndSelection) {
    SearchView search(kBobLog);
    search.view().SelectRange(1, 2, 1, 4);
    search.Find({"zebra"});
    EXPECT_EQ(search.TakeMessages(), std::vector<Message>{kNoMatches});
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{1, 2, 1, 4}));
    EXPECT_EQ(search.Caret(), (TextPosition{1, 2}));
}

TEST_F(ViewSearchTest, FindStartsAtTheCaretSoItFindsTheSameHitAgain) {
    SearchView search(kBobLog);
    search.Find({"Bob"});
    search.FindNext();
    ASSERT_EQ(search.ActiveSelection(), (SelectionBounds{0, 8, 0, 10}));
    search.Find({"Bob"});
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{0, 8, 0, 10}));
}

TEST_F(ViewSearchTest, AHitFarDownIsScrolledIntoView) {
    std::string bytes = PlainLines(300);
    bytes += "the needle\n";
    SearchView search(bytes);
    search.Find({"needle"});
    ASSERT_EQ(search.ActiveSelection(), (SelectionBounds{300, 4, 300, 9}));
    const CQuarvelView& view = search.view();
    EXPECT_LE(view.topLine(), 300);
    EXPECT_GT(view.topLine() + view.visibleLines(), 300);
}

// Find, then Find next until the search runs dry.
struct SteppingCase {
    const char* name;
    SearchAnswer answer;
    std::optional<TextPosition> clickFirst; // where the caret is put first
    std::vector<SelectionBounds> hits;
    TextPosition caretAtTheEnd;
};

void PrintTo(const SteppingCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewSearchSteppingTest : public ::testing::TestWithParam<SteppingCase> {
protected:
    void SetUp() override { ClearSettings(); }
};

TEST_P(ViewSearchSteppingTest, FindNextStepsThroughEveryHitAndStopsAtTheEnd) {
    const SteppingCase& c = GetParam();
    SearchView search(kBobLog);
    if (c.clickFirst) {
        QWidget* window = search.view().viewport();
        QTest::mouseClick(window, Qt::LeftButton, {},
                          search.log().PointAt(c.clickFirst->line, c.clickFirst->column));
    }
    search.Find(c.answer);
    std::vector<SelectionBounds> found;
    for (int step = 0; step < 10; ++step) {
        const auto messages = search.TakeMessages();
        if (!messages.empty()) {
            EXPECT_EQ(messages, std::vector<Message>{kNoMoreMatches});
            break;
        }
        ASSERT_TRUE(search.view().selectionActive());
        found.push_back(search.view().selection());
        search.FindNext();
    }
    EXPECT_EQ(found, c.hits);
    // The last hit stays selected; no wrap to the other end of the log.
    ASSERT_FALSE(c.hits.empty());
    EXPECT_EQ(search.ActiveSelection(), c.hits.back());
    EXPECT_EQ(search.Caret(), c.caretAtTheEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ViewSearchSteppingTest,
    ::testing::Values(SteppingCase{"ForwardsIgnoringCase",
                                   {"Bob"},
                                   std::nullopt,
                                   {{0, 0, 0, 2}, {0, 8, 0, 10}, {2, 18, 2, 20}, {3, 0, 3, 2}},
                                   // just past the last hit: nothing more was found from there
                                   {3, 3}},
                      SteppingCase{"EndingTheLastLine",
                                   {"case"},
                                   std::nullopt,
                                   {{3, 13, 3, 16}},
                                   // the step to the line after the last one finds no line
                                   {kBobLogLines, 0}},
                      SteppingCase{"ForwardsKeepingCase",
                                   {"Bob", true},
                                   std::nullopt,
                                   {{0, 0, 0, 2}, {0, 8, 0, 10}, {2, 18, 2, 20}},
                                   // just past the last hit: nothing more was found from there
                                   {2, 21}},
                      SteppingCase{"ForwardsFromTheMiddleOfALine",
                                   {"Bob", true},
                                   TextPosition{0, 4},
                                   {{0, 8, 0, 10}, {2, 18, 2, 20}},
                                   {2, 21}},
                      SteppingCase{"RegularExpression",
                                   {"^b.b", false, true},
                                   std::nullopt,
                                   {{0, 0, 0, 2}, {3, 0, 3, 2}},
                                   {3, 3}},
                      SteppingCase{"Backwards",
                                   {"bob", false, false, true},
                                   TextPosition{3, 17},
                                   {{3, 0, 3, 2}, {2, 18, 2, 20}, {0, 8, 0, 10}, {0, 0, 0, 2}},
                                   {0, 0}}),
    [](const ::testing::TestParamInfo<SteppingCase>& info) { return info.param.name; });

TEST_F(ViewSearchTest, CancelSearchesNothingAndKeepsTheLastSearch) {
    SearchView search(kBobLog);
    search.Find({"Bob", true});
    ASSERT_EQ(search.ActiveSelection(), (SelectionBounds{0, 0, 0, 2}));

    search.Find({"nothing", false, true, true, /*search=*/false});
    EXPECT_TRUE(search.TakeMessages().empty());
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{0, 0, 0, 2}));
    const CSearchDlg& dialog = search.view().searchDialog();
    EXPECT_EQ(dialog.searchText, QStringLiteral("Bob"));
    EXPECT_EQ(dialog.caseSensitive, 1);
    EXPECT_EQ(dialog.regExp, 0);
    EXPECT_EQ(dialog.backwards, 0);

    // Find next still searches for Bob, forwards.
    search.FindNext();
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{0, 8, 0, 10}));
}

TEST_F(ViewSearchTest, TheDialogOpensWithTheTextAndOptionsOfTheLastSearch) {
    SearchView search(kBobLog);
    const ShownSearch first = search.Find({"Bob", true, false, true});
    EXPECT_EQ(first.text, QString());
    const ShownSearch second = search.Find({"Bob"});
    EXPECT_EQ(second.text, QStringLiteral("Bob"));
    EXPECT_TRUE(second.caseSensitive);
    EXPECT_FALSE(second.regExp);
    EXPECT_TRUE(second.backwards);
}

struct BadTextCase {
    const char* name;
    SearchAnswer answer;
};

void PrintTo(const BadTextCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewBadSearchTextTest : public ::testing::TestWithParam<BadTextCase> {
protected:
    void SetUp() override { ClearSettings(); }
};

TEST_P(ViewBadSearchTextTest, SaysSoAndFindNextThenFindsNothing) {
    SearchView search(kBobLog);
    search.Find({"Bob"});
    ASSERT_EQ(search.ActiveSelection(), (SelectionBounds{0, 0, 0, 2}));

    search.Find(GetParam().answer);
    EXPECT_EQ(search.TakeMessages(), std::vector<Message>{kBadExpression});
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{0, 0, 0, 2}));
    EXPECT_EQ(search.Caret(), (TextPosition{0, 0}));

    // The last good expression is gone: nothing matches any more.
    search.FindNext();
    EXPECT_EQ(search.TakeMessages(), std::vector<Message>{kNoMoreMatches});
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{0, 0, 0, 2}));
}

INSTANTIATE_TEST_SUITE_P(Texts, ViewBadSearchTextTest,
                         ::testing::Values(BadTextCase{"LoneParenthesis", {"(", false, true}},
                                           BadTextCase{"EmptyRegularExpression", {"", false, true}},
                                           BadTextCase{"EmptyPlainText", {""}}),
                         [](const ::testing::TestParamInfo<BadTextCase>& info) {
                             return info.param.name;
                         });

// An expression that backtracks without end on lines of x.
std::string RunawayExpression() {
    std::string expression = "(x+x+)+y|";
    for (int i = 0; i < 3000; ++i) {
        expression += "[Q]";
    }
    return expression;
}

// Each line adds to a search's budget: many short lines make a long search
// that the budget lets run for a while.
std::string LinesOfX(int count, int length) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += std::string(static_cast<std::size_t>(length), 'x') + "\n";
    }
    return lines;
}

// Presses Esc in every "Searching..." box as it shows: the key waits in the
// event queue, which the search's next look at its progress empties.
class EscOnSearchingBox : public QObject {
public:
    EscOnSearchingBox() { QApplication::instance()->installEventFilter(this); }
    ~EscOnSearchingBox() override { QApplication::instance()->removeEventFilter(this); }
    EscOnSearchingBox(const EscOnSearchingBox&) = delete;
    EscOnSearchingBox& operator=(const EscOnSearchingBox&) = delete;

    int boxesSeen = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QProgressDialog*>(watched);
        if (event->type() == QEvent::Show && box != nullptr) {
            ++boxesSeen;
            EXPECT_EQ(box->labelText(), QStringLiteral("Searching..."));
            QCoreApplication::postEvent(
                box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            QCoreApplication::postEvent(
                box, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
        }
        return false;
    }
};

// A long search shows a Cancel box; Esc in it stops the search with nothing
// more said, and the caret and the selection stay. The box shows at the
// search's first look at its progress, so nothing here depends on how fast
// the machine is.
TEST_F(ViewSearchTest, EscInTheSearchingBoxCancelsALongSearch) {
    SearchView search(LinesOfX(20000, 12));
    search.view().SelectRange(1, 2, 1, 4);
    search.view().SetSearchBoxDelay(0);
    const EscOnSearchingBox esc;
    search.Find({QString::fromStdString(RunawayExpression()), true, true, false, true, true});
    EXPECT_EQ(esc.boxesSeen, 1);
    EXPECT_TRUE(search.TakeMessages().empty());
    EXPECT_EQ(search.ActiveSelection(), (SelectionBounds{1, 2, 1, 4}));
}

TEST_F(ViewSearchTest, ASearchThatRunsOutOfItsBudgetSaysSo) {
    SearchView search(LinesOfX(20, 24));
    search.Find({QString::fromStdString(RunawayExpression()), true, true, false, true, true});
    const Message stopped{"The search was stopped: the expression takes too much work on these "
                          "lines. Please try a simpler one.",
                          "Error", MessageIcon::Error};
    EXPECT_EQ(search.TakeMessages(), std::vector<Message>{stopped});
}

TEST_F(ViewSearchTest, FindNextBeforeAnyFindFindsNothing) {
    SearchView search(kBobLog);
    search.FindNext();
    EXPECT_EQ(search.TakeMessages(), std::vector<Message>{kNoMoreMatches});
    EXPECT_FALSE(search.view().selectionActive());
    // The forward step still moved the caret past the (empty) selection.
    EXPECT_EQ(search.Caret(), (TextPosition{0, 1}));
}

TEST_F(ViewSearchTest, TheOptionsOutliveTheViewButTheTextDoesNot) {
    {
        SearchView first(kBobLog);
        first.Find({"Bob", true, true, false});
    }
    const StoredOptions stored = ReadStoredOptions();
    EXPECT_EQ(stored.caseSensitive.toInt(), 1);
    EXPECT_EQ(stored.regExp.toInt(), 1);
    EXPECT_EQ(stored.backwards.toInt(), 0);
    EXPECT_EQ(QSet<QString>(stored.keys.begin(), stored.keys.end()),
              (QSet<QString>{"CaseSensitive", "RegExp", "Backwards"}));

    SearchView second(kBobLog);
    const CSearchDlg& dialog = second.view().searchDialog();
    EXPECT_EQ(dialog.caseSensitive, 1);
    EXPECT_EQ(dialog.regExp, 1);
    EXPECT_EQ(dialog.backwards, 0);
    EXPECT_EQ(dialog.searchText, QString());
    const ShownSearch shown = second.Find({"Bob", false, false, true});
    EXPECT_EQ(shown.text, QString());
    EXPECT_TRUE(shown.caseSensitive);
    EXPECT_TRUE(shown.regExp);
    EXPECT_FALSE(shown.backwards);
}

// The options are the application's: whichever window closes last, the
// store keeps what the user set last, and every window's next Search shows it.
class ViewSharedOptionsTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { ClearSettings(); }
};

TEST_P(ViewSharedOptionsTest, TheLastOptionsSetSurviveTwoWindowsClosing) {
    const bool firstClosesLast = GetParam();
    auto first = std::make_unique<SearchView>(kBobLog);
    auto second = std::make_unique<SearchView>(kBobLog);
    first->Find({"Bob", true, false, false});
    const ShownSearch shownInSecond = second->Find({"Bob", false, true, true});
    EXPECT_TRUE(shownInSecond.caseSensitive) << "set in the other window";
    EXPECT_FALSE(shownInSecond.regExp);

    const ShownSearch shownInFirst = first->Find({"Bob", false, true, true});
    EXPECT_FALSE(shownInFirst.caseSensitive);
    EXPECT_TRUE(shownInFirst.regExp);
    EXPECT_TRUE(shownInFirst.backwards);

    if (firstClosesLast) {
        second.reset();
        first.reset();
    } else {
        first.reset();
        second.reset();
    }
    const StoredOptions stored = ReadStoredOptions();
    EXPECT_EQ(stored.caseSensitive.toInt(), 0);
    EXPECT_EQ(stored.regExp.toInt(), 1);
    EXPECT_EQ(stored.backwards.toInt(), 1);
}

TEST_F(ViewSearchTest, OptionsAreWrittenWhenChangedNotWhenTheWindowCloses) {
    SearchView search(kBobLog);
    search.Find({"Bob", false, true, false});
    EXPECT_EQ(ReadStoredOptions().regExp.toInt(), 1) << "written at once";
    // Written by another program meanwhile: a window closing keeps it.
    StoreOptions(0, 0, 1);
    { SearchView other(kBobLog); }
    EXPECT_EQ(ReadStoredOptions().backwards.toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(ClosingOrder, ViewSharedOptionsTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "FirstClosesLast"
                                                           : "SecondClosesLast");
                         });

TEST_F(ViewSearchTest, MissingOptionsReadAsZero) {
    SearchView search(kBobLog);
    const CSearchDlg& dialog = search.view().searchDialog();
    EXPECT_EQ(dialog.caseSensitive, 0);
    EXPECT_EQ(dialog.regExp, 0);
    EXPECT_EQ(dialog.backwards, 0);
}

// A value outside 0 and 1 (written by hand, say) shows as a cleared box and
// is written back as it was unless the dialog closes with "Search".
struct StoredValueCase {
    const char* name;
    QVariant stored;
    std::int32_t field;
};

void PrintTo(const StoredValueCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewStoredOptionTest : public ::testing::TestWithParam<StoredValueCase> {
protected:
    void SetUp() override { ClearSettings(); }
};

TEST_P(ViewStoredOptionTest, ShowsAsAClearedBoxAndStaysUntilSearch) {
    const StoredValueCase& c = GetParam();
    StoreOptions(c.stored, c.stored, c.stored);
    {
        SearchView search(kBobLog);
        const CSearchDlg& dialog = search.view().searchDialog();
        EXPECT_EQ(dialog.caseSensitive, c.field);
        EXPECT_EQ(dialog.regExp, c.field);
        EXPECT_EQ(dialog.backwards, c.field);
        const ShownSearch shown = search.Find({"Bob", false, false, false, /*search=*/false});
        EXPECT_FALSE(shown.caseSensitive);
        EXPECT_FALSE(shown.regExp);
        EXPECT_FALSE(shown.backwards);
    }
    EXPECT_EQ(ReadStoredOptions().caseSensitive.toInt(), c.field);
    {
        SearchView search(kBobLog);
        search.Find({"Bob"});
        EXPECT_EQ(search.view().searchDialog().caseSensitive, 0);
    }
    const StoredOptions after = ReadStoredOptions();
    EXPECT_EQ(after.caseSensitive.toInt(), 0);
    EXPECT_EQ(after.regExp.toInt(), 0);
    EXPECT_EQ(after.backwards.toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ViewStoredOptionTest,
    ::testing::Values(StoredValueCase{"Two", 2, 2}, StoredValueCase{"Seven", 7, 7},
                      StoredValueCase{"MinusOne", -1, -1}, StoredValueCase{"NotANumber", "yes", 0}),
    [](const ::testing::TestParamInfo<StoredValueCase>& info) { return info.param.name; });

} // namespace
