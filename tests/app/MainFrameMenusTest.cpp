// What the main frame shows: the two menu bars, the toolbar, the status bar,
// the keys of each command and which commands are enabled when.
#include "../admin/ModalScript.h"
#include "CQuarvelView.h"
#include "CServersDlg.h"
#include "CommandIds.h"
#include "CopyIcon.h"
#include "GlobalConfig.h"
#include "LockKeyIndicators.h"
#include "MainFrameTestFixture.h"
#include "MessagePane.h"
#include "RconConsoleWindow.h"
#include "ServersPanel.h"

#include <QAbstractButton>
#include <QDockWidget>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>

using namespace CommandId;

namespace {

TEST_F(MainFrameTest, StartsWithThePlainMenus) {
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Tools", "&View", "&Help"}));
    EXPECT_EQ(MenuEntries("&File"),
              (QStringList{"&Open...\tCtrl+O", "-", "Recent File", "-", "E&xit"}));
    EXPECT_EQ(MenuEntries("&Tools"), (QStringList{"&Servers...", "&Bans"}));
    EXPECT_EQ(MenuEntries("&View"), (QStringList{"&Toolbar", "&Status Bar", "&Servers"}));
    EXPECT_EQ(MenuEntries("&Help"), (QStringList{"&About Quarvel..."}));
    EXPECT_FALSE(Enabled(kFileMruFirst)) << "the empty recent-file entry is greyed";
    EXPECT_EQ(frame->windowTitle(), "Quarvel");
}

TEST_F(MainFrameTest, ShowsTheDocumentMenusWhileALogWindowExists) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    const QString name = QFileInfo(QString::fromStdString(log.path())).fileName();

    EXPECT_EQ(MenuTitles(),
              (QStringList{"&File", "&Edit", "&Search", "&Tools", "&View", "&Window", "&Help"}));
    EXPECT_EQ(MenuEntries("&File"),
              (QStringList{"&Open...\tCtrl+O", "&Close", "&Reload", "-", "&Print...\tCtrl+P",
                           "Print Pre&view", "-", "&1 " + name, "-", "E&xit"}));
    EXPECT_EQ(MenuEntries("&Edit"),
              (QStringList{"-", "&Copy\tCtrl+C", "Copy as &HTML", "Select &All\tCtrl+A"}));
    EXPECT_EQ(MenuEntries("&Search"),
              (QStringList{"&Find\tF5", "Find &next\tCtrl+F5", "Find &previous\tShift+F3",
                           "Find in &all logs...\tCtrl+Shift+F", "-", "&Go to...\tCtrl+G", "-",
                           "Toggle &mark\tCtrl+F2", "Ne&xt mark\tF2", "Pre&vious mark\tShift+F2"}));
    EXPECT_EQ(MenuEntries("&Tools"),
              (QStringList{"&Database update", "Keep &database updated", "&Find player...", "-",
                           "&Servers...", "&Bans", "RCON &console", "&Execute RCON file"}));
    EXPECT_EQ(MenuEntries("&View"), (QStringList{"&Toolbar", "&Status Bar", "&Servers", "-",
                                                 "&Follow end of log", "&Filtered view"}));
    EXPECT_EQ(MenuEntries("&Window"), (QStringList{"&New Window", "&Cascade", "&Tile",
                                                   "&Arrange Icons", "-", "&1 " + name}));
    EXPECT_EQ(MenuEntries("&Help"), (QStringList{"&About Quarvel..."}));
    EXPECT_EQ(frame->windowTitle(), "Quarvel - " + name);

    frame->childFrames().front()->close();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Tools", "&View", "&Help"}));
    EXPECT_EQ(frame->windowTitle(), "Quarvel");
}

TEST_F(MainFrameTest, ViewServersShowsAndHidesTheServersPanelDock) {
    QAction* servers = frame->commandAction(kViewServers);
    ASSERT_NE(servers, nullptr);
    EXPECT_TRUE(servers->isCheckable());
    EXPECT_FALSE(servers->isChecked());
    EXPECT_EQ(frame->serversDock(), nullptr) << "made only when first shown";
    frame->show();
    servers->trigger();
    ASSERT_NE(frame->serversDock(), nullptr);
    EXPECT_TRUE(frame->serversDock()->isVisible());
    EXPECT_NE(qobject_cast<ServersPanel*>(frame->serversDock()->widget()), nullptr);
    EXPECT_TRUE(servers->isChecked());
    frame->serversDock()->close(); // its own close button
    EXPECT_FALSE(servers->isChecked());
    servers->trigger();
    EXPECT_TRUE(frame->serversDock()->isVisible());
    servers->trigger();
    EXPECT_FALSE(frame->serversDock()->isVisible());
}

TEST_F(MainFrameTest, RconConsoleOpensAWindowForTheConfiguredServer) {
    theAppConfig.servers.clear();
    theAppConfig.servers.push_front({"Main", "127.0.0.1", 27960, "secret"});
    frame->UpdateCommandStates();
    EXPECT_TRUE(Enabled(kRconConsole));
    EXPECT_TRUE(Enabled(kExecuteRconFile));
    frame->commandAction(kRconConsole)->trigger();
    const auto consoles = frame->findChildren<RconConsoleWindow*>();
    ASSERT_EQ(consoles.size(), 1);
    EXPECT_EQ(consoles.front()->windowTitle(), "RCON console - Main");
    EXPECT_TRUE(consoles.front()->isWindow());
    consoles.front()->close();
    theAppConfig.servers.clear();
    frame->UpdateCommandStates();
    EXPECT_FALSE(Enabled(kRconConsole));
}

TEST_F(MainFrameTest, ToolsServersSavesAndTheFrameFollowsTheConfigurationReadAgain) {
    // A block the reader refuses, written by hand: it stays, and is told.
    TempFile file("[server]\nname=Bad\naddress=192.0.2.1:28960\n", ".cfg");
    theAppConfig.path = file.path();
    theAppConfig.Load();
    frame->show();
    frame->commandAction(kViewServers)->trigger();
    auto* panel = qobject_cast<ServersPanel*>(frame->serversDock()->widget());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->serverCount(), 0);
    frame->UpdateCommandStates();
    EXPECT_FALSE(Enabled(kRconConsole));

    ModalScript script({[](QWidget& window) {
        auto& dialog = dynamic_cast<CServersDlg&>(window);
        ServerValues added;
        added[ServerKey::Name] = "Main";
        added[ServerKey::Address] = "127.0.0.1";
        added[ServerKey::Port] = "27960";
        dialog.AddServer(added);
        dialog.accept();
    }});
    frame->commandAction(kServersDialog)->trigger();
    EXPECT_EQ(script.shown(), 1);
    ASSERT_FALSE(theAppConfig.servers.empty());
    EXPECT_EQ(theAppConfig.servers.front().name, "Main");
    EXPECT_EQ(frame->serversDock()->widget(), panel) << "the same panel, its servers anew";
    EXPECT_EQ(panel->serverCount(), 1);
    EXPECT_TRUE(Enabled(kRconConsole));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              file.path() +
                  ", line 3: \"address\" is neither a dotted IPv4 address nor a host name; the "
                  "server of this block is left out.");
    theAppConfig = AppConfig();
}

TEST_F(MainFrameTest, MenusFollowEveryWindowComingAndGoing) {
    TempFile first(Lines(2));
    TempFile second(Lines(2));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(first.path())));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(second.path())));
    ASSERT_EQ(frame->childFrames().size(), 2);

    frame->childFrames().front()->close();
    EXPECT_EQ(MenuTitles().size(), 7) << "one log window is left";
    frame->childFrames().front()->close();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Tools", "&View", "&Help"}));

    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(first.path())));
    EXPECT_EQ(MenuTitles().size(), 7);
}

struct KeyCase {
    const char* name;
    int id;
    QStringList keys; // portable key texts
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandKeyTest : public MainFrameTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(CommandKeyTest, IsBoundToTheKeysOfTheKeyTable) {
    const KeyCase& c = GetParam();
    QAction* action = frame->commandAction(c.id);
    ASSERT_NE(action, nullptr);
    QStringList keys;
    for (const QKeySequence& key : action->shortcuts()) {
        keys.append(key.toString(QKeySequence::PortableText));
    }
    EXPECT_EQ(keys, c.keys);
}

INSTANTIATE_TEST_SUITE_P(
    KeyTable, CommandKeyTest,
    ::testing::Values(
        KeyCase{"Open", kFileOpen, {"Ctrl+O"}}, KeyCase{"Copy", kEditCopy, {"Ctrl+C", "Ctrl+Ins"}},
        KeyCase{"Find", kFind, {"F5", "Ctrl+F"}}, KeyCase{"FindNext", kFindNext, {"Ctrl+F5", "F3"}},
        KeyCase{"FindPrevious", kFindPrevious, {"Shift+F3"}},
        KeyCase{"Reload", kFileReload, {"Ctrl+R"}},
        KeyCase{"CopyAsHtml", kEditCopyHtml, {"Ctrl+Shift+C"}},
        KeyCase{"Print", kFilePrint, {"Ctrl+P"}}, KeyCase{"PrintPreview", kFilePrintPreview, {}},
        KeyCase{"SelectAll", kEditSelectAll, {"Ctrl+A"}}, KeyCase{"GoTo", kGoTo, {"Ctrl+G"}},
        KeyCase{"FindInAllLogs", kFindInAllLogs, {"Ctrl+Shift+F"}},
        KeyCase{"ToggleMark", kToggleMark, {"Ctrl+F2"}}, KeyCase{"NextMark", kNextMark, {"F2"}},
        KeyCase{"PreviousMark", kPreviousMark, {"Shift+F2"}}, KeyCase{"New", kFileNew, {"Ctrl+N"}},
        KeyCase{"Paste", kEditPaste, {"Ctrl+V", "Shift+Ins"}},
        KeyCase{"Cut", kEditCut, {"Ctrl+X", "Shift+Del"}},
        KeyCase{"Undo", kEditUndo, {"Ctrl+Z", "Alt+Backspace"}},
        KeyCase{"NextPane", kNextPane, {"F6"}}, KeyCase{"PrevPane", kPrevPane, {"Shift+F6"}},
        KeyCase{"DatabaseUpdate", kDatabaseUpdate, {}},
        KeyCase{"ExecuteRconFile", kExecuteRconFile, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFrameTest, LeavesCtrlSUnbound) {
    EXPECT_EQ(frame->commandAction(kFileSave), nullptr);
    const QKeySequence save(Qt::CTRL | Qt::Key_S);
    for (QAction* action : frame->findChildren<QAction*>()) {
        EXPECT_FALSE(action->shortcuts().contains(save)) << action->text().toStdString();
    }
}

TEST_F(MainFrameTest, ToolbarHoldsOpenCopyAndAboutWithTheirPrompts) {
    QStringList buttons;
    for (QAction* action : frame->toolBar()->actions()) {
        if (action->isSeparator()) {
            buttons.append("-");
            continue;
        }
        buttons.append(action->toolTip() + "|" + action->statusTip());
        EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
    }
    EXPECT_EQ(buttons,
              (QStringList{"Open|Open an existing document", "-",
                           "Copy|Copy the selection and put it on the Clipboard", "-",
                           "Follow end of log|Keep the end of a growing log in view", "-",
                           "About|Display program information, version number and copyright"}));
}

TEST_F(MainFrameTest, StatusBarHasTheMessagePaneThenTheIndicators) {
    QStringList panes;
    for (QLabel* label : frame->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        panes.append(label->objectName());
    }
    // Between the message pane and the indicators: the active log's file
    // status, the caret's place and the line count.
    EXPECT_EQ(panes, (QStringList{"messagePane", "fileStatusPane", "caretPane", "lineCountPane",
                                  "CAP", "NUM", "SCRL"}));
    EXPECT_EQ(FindMessagePane(*frame), frame->messagePane());
    // The offscreen platform does not tell the lock keys' state: no
    // indicator shows rather than one that never changes.
    for (const QLabel* pane : frame->lockKeys()->panes()) {
        EXPECT_TRUE(pane->isHidden()) << pane->objectName().toStdString();
    }
}

struct LockKeysCase {
    const char* name;
    LockKeys keys;
    QStringList shown; // the visible panes' texts
};

void PrintTo(const LockKeysCase& c, std::ostream* os) {
    *os << c.name;
}

class LockKeyPanesTest : public ::testing::TestWithParam<LockKeysCase> {};

TEST_P(LockKeyPanesTest, ShowWhatThePlatformTells) {
    const LockKeysCase& c = GetParam();
    QStatusBar bar;
    LockKeys keys;
    LockKeyIndicators indicators(bar, [&keys] { return keys; });
    keys = c.keys;
    indicators.Refresh();
    QStringList shown;
    for (const QLabel* pane : indicators.panes()) {
        if (!pane->isHidden()) {
            shown.append(pane->text());
        }
    }
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    States, LockKeyPanesTest,
    ::testing::Values(LockKeysCase{"Unknown", {}, {}},
                      LockKeysCase{"AllOff", {false, false, false}, {"", "", ""}},
                      LockKeysCase{"CapsAndScroll", {true, false, true}, {"CAP", "", "SCRL"}},
                      LockKeysCase{"NumOnly", {false, true, false}, {"", "NUM", ""}},
                      LockKeysCase{
                          "NoScrollIndicator", {true, true, std::nullopt}, {"CAP", "NUM"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LockKeyPanes, ALockKeyPressReadsTheStateAgain) {
    QStatusBar bar;
    bar.show();
    LockKeys keys{false, false, false};
    int reads = 0;
    LockKeyIndicators indicators(bar, [&] {
        ++reads;
        return keys;
    });
    keys.capsLock = true;
    QTest::keyClick(&bar, Qt::Key_A);
    EXPECT_EQ(indicators.panes()[0]->text(), "") << "another key reads nothing";
    QTest::keyClick(&bar, Qt::Key_CapsLock);
    EXPECT_EQ(indicators.panes()[0]->text(), "CAP");
}

TEST_F(MainFrameTest, TheCopyButtonShowsACopyPicture) {
    const QIcon copy = frame->commandAction(kEditCopy)->icon();
    ASSERT_FALSE(copy.isNull());
    const QImage shown = copy.pixmap(16, 16).toImage();
    const QImage blankPage =
        frame->style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16).toImage();
    EXPECT_NE(shown, blankPage);
    // Two pages with lines: dark outline, light paper and coloured lines.
    const QImage drawn = DrawnCopyIcon().pixmap(16, 16).toImage();
    QSet<QRgb> colours;
    int inked = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            if (qAlpha(pixel) > 0) {
                ++inked;
                colours.insert(pixel);
            }
        }
    }
    EXPECT_GT(inked, 16 * 16 / 3);
    EXPECT_GE(colours.size(), 3);
}

TEST_F(MainFrameTest, MessagePaneShowsPromptsAndReturnsToReady) {
    QStatusTipEvent prompt(QStringLiteral("Open an existing document"));
    QApplication::sendEvent(frame.get(), &prompt);
    EXPECT_EQ(frame->messagePane()->text(), "Open an existing document");
    QStatusTipEvent idle{QString()};
    QApplication::sendEvent(frame.get(), &idle);
    EXPECT_EQ(frame->messagePane()->text(), "Ready");
}

TEST_F(MainFrameTest, ViewMenuShowsAndHidesTheBars) {
    frame->show();
    frame->commandAction(kViewToolbar)->trigger();
    EXPECT_TRUE(frame->toolBar()->isHidden());
    EXPECT_FALSE(frame->commandAction(kViewToolbar)->isChecked());
    frame->commandAction(kViewStatusBar)->trigger();
    EXPECT_TRUE(frame->statusBar()->isHidden());
    EXPECT_FALSE(frame->commandAction(kViewStatusBar)->isChecked());

    frame->toolBar()->show(); // as through the toolbar's own context menu
    EXPECT_TRUE(frame->commandAction(kViewToolbar)->isChecked());
}

TEST_F(MainFrameTest, ViewCommandsAreDisabledWithoutAWindow) {
    for (const int id : {kEditCopy, kEditSelectAll, kFind, kFindNext, kGoTo, kDatabaseUpdate,
                         kExecuteRconFile, kFilePrint, kFilePrintPreview, kFileClose, kWindowNew,
                         kWindowCascade, kWindowTile, kWindowArrange}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    for (const int id : {kFileOpen, kAppAbout, kAppExit, kViewToolbar, kViewStatusBar}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
}

TEST_F(MainFrameTest, ViewCommandsFollowTheActiveView) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    EXPECT_TRUE(Enabled(kFind));
    EXPECT_TRUE(Enabled(kFindNext));
    EXPECT_TRUE(Enabled(kFilePrint));
    EXPECT_TRUE(Enabled(kFilePrintPreview));
    EXPECT_TRUE(Enabled(kEditSelectAll));
    EXPECT_TRUE(Enabled(kGoTo));
    EXPECT_TRUE(Enabled(kFileClose));
    EXPECT_TRUE(Enabled(kWindowNew));
    EXPECT_FALSE(Enabled(kEditCopy)) << "nothing is selected";
    EXPECT_FALSE(Enabled(kExecuteRconFile)) << "no server is configured";
    EXPECT_FALSE(Enabled(kRconConsole)) << "no server is configured";
    for (const int id : {kFileNew, kEditPaste, kEditCut, kEditUndo, kNextPane, kPrevPane}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
}

TEST_F(MainFrameTest, DatabaseUpdateIsDisabledWithoutAConfiguredDatabase) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    frame->UpdateCommandStates();
    EXPECT_FALSE(Enabled(kDatabaseUpdate));
}

TEST_F(MainFrameTest, AboutBoxShowsTheVersionWithTheIconAndOk) {
    QString version;
    bool hasIcon = false;
    int buttons = 0;
    ModalWatcher watcher([&](QWidget* dialog) {
        if (auto* label = dialog->findChild<QLabel*>("version")) {
            version = label->text();
        }
        if (auto* icon = dialog->findChild<QLabel*>("icon")) {
            hasIcon = !icon->pixmap().isNull();
        }
        buttons = static_cast<int>(dialog->findChildren<QAbstractButton*>().size());
    });
    frame->commandAction(kAppAbout)->trigger();
    ASSERT_EQ(watcher.seenTitles, (std::vector<QString>{"About Quarvel"}));
    EXPECT_EQ(version, "Quarvel Version 1.3");
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(buttons, 1);
}

} // namespace
