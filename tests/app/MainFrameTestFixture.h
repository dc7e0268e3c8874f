#pragma once

#include "CChildFrame.h"
#include "CMainFrame.h"
#include "GlobalConfig.h"
#include "ShellTestSupport.h"
#include "TempFile.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// A fresh main frame over empty user settings, its messages recorded.
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearUserSettings();
        theAppConfig.databasePath.clear();
        theAppConfig.servers.clear();
        frame = MakeFrame();
    }

    std::unique_ptr<CMainFrame> MakeFrame() {
        auto made = std::make_unique<CMainFrame>();
        made->setMessageSink(&messages);
        return made;
    }

    // Shows the frame and waits until it is the active window, which keys
    // need to reach its shortcuts.
    void ShowActive() {
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    // The titles of the menu bar's menus.
    QStringList MenuTitles() const {
        QStringList titles;
        for (QAction* action : frame->menuBar()->actions()) {
            titles.append(action->text());
        }
        return titles;
    }

    // The visible entries of the menu titled `title`, separators as "-".
    QStringList MenuEntries(const QString& title) const {
        for (QAction* action : frame->menuBar()->actions()) {
            if (action->text() == title && action->menu() != nullptr) {
                QStringList entries;
                for (QAction* entry : action->menu()->actions()) {
                    if (entry->isVisible()) {
                        entries.append(entry->isSeparator() ? QStringLiteral("-") : entry->text());
                    }
                }
                return entries;
            }
        }
        return {QStringLiteral("<no menu ") + title + QStringLiteral(">")};
    }

    bool Enabled(int id) const { return frame->commandAction(id)->isEnabled(); }

    MessageRecorder messages;
    std::unique_ptr<CMainFrame> frame;
};

inline std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "   0:0" + std::to_string(i % 10) + " say: Alice: line " + std::to_string(i) + "\n";
    }
    return text;
}
