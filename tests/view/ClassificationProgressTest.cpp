// The classification behind a progress bar over the main window's message
// pane, as the view's update runs it.
#include "AppConfig.h"
#include "MessagePane.h"
#include "ViewTestSupport.h"

#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

// Watches the status bar for the progress bar the view lays over it, and
// records what the bar was told and how often it was painted.
class ProgressWatcher : public QObject {
public:
    explicit ProgressWatcher(QStatusBar& statusBar) { statusBar.installEventFilter(this); }

    QPointer<QProgressBar> bar;
    QPointer<QObject> barObject;
    QRect geometry;
    std::vector<int> values;
    int maximum = -1;
    int minimum = -1;
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished && bar == nullptr) {
            auto* child = static_cast<QChildEvent*>(event)->child();
            if (auto* progress = qobject_cast<QProgressBar*>(child)) {
                bar = progress;
                barObject = progress;
                progress->installEventFilter(this);
                connect(progress, &QProgressBar::valueChanged, this, [this](int value) {
                    if (values.empty()) {
                        geometry = bar->geometry(); // where the walk shows it
                    }
                    values.push_back(value);
                    minimum = bar->minimum();
                    maximum = bar->maximum();
                });
            }
        }
        // Compared as objects: the bar may be half destroyed by now, when
        // the pointer's own cast to a progress bar would be wrong.
        if (event->type() == QEvent::Paint && watched == static_cast<QObject*>(barObject)) {
            ++paints;
        }
        return false;
    }
};

// A main window with a message pane in its status bar and a view inside.
class ProgressTest : public ::testing::Test {
protected:
    ProgressTest() {
        pane = new QLabel(QStringLiteral("Ready"), window.statusBar());
        pane->setObjectName(QLatin1String(kMessagePaneName));
        window.statusBar()->addWidget(pane, 1);
        window.resize(640, 480);
    }

    AppConfig config; // what the views read: none is needed here
    QMainWindow window;
    QLabel* pane = nullptr;
};

TEST_F(ProgressTest, TheBarCoversTheMessagePaneAndFollowsEveryStep) {
    TempFile file(PlainLines(250));
    CQuarvelDoc document;
    ASSERT_TRUE(document.Open(QString::fromStdString(file.path())));
    auto view = std::make_unique<CQuarvelView>(document, config);
    window.setCentralWidget(view.get());
    window.show();
    QCoreApplication::processEvents();

    ProgressWatcher watcher(*window.statusBar());
    view->OnUpdate();

    ASSERT_FALSE(watcher.values.empty()) << "no progress bar was shown";
    // The pane's room in the status bar's row (the bar may be the taller).
    EXPECT_EQ(watcher.geometry.left(), pane->geometry().left());
    EXPECT_EQ(watcher.geometry.width(), pane->geometry().width());
    EXPECT_EQ(watcher.minimum, 0);
    // The default walk plans at least 100 steps; 250 lines take 3 a step.
    EXPECT_EQ(watcher.maximum, 100);
    std::vector<int> expected;
    for (int step = 0; step <= 84; ++step) {
        expected.push_back(step);
    }
    EXPECT_EQ(watcher.values, expected);
    EXPECT_GE(watcher.paints, 84) << "the bar is repainted while the walk holds the event loop";
    EXPECT_TRUE(watcher.bar.isNull()) << "the bar is gone once the lines are classified";
    EXPECT_TRUE(window.statusBar()->findChildren<QProgressBar*>().isEmpty());
    // The lines were classified: every line got its tail run at least.
    EXPECT_EQ(document.model().Line(0).visibleLength, 60);
    window.takeCentralWidget(); // the view goes before its document
}

TEST_F(ProgressTest, ASecondViewFindsTheLinesClassified) {
    TempFile file("   0:01 ClientConnect: 3 - 10.0.0.1:1 [0123456789ABCDEF0123456789ABCDEF]\n");
    CQuarvelDoc document;
    ASSERT_TRUE(document.Open(QString::fromStdString(file.path())));
    CQuarvelView first(document, config);
    first.OnUpdate();
    ASSERT_EQ(KindNumber(document.model().Line(0).segments[0].kind()), 2) << "the keyword";
    // The log is the document's and classified once: the second view's
    // update records no connection again.
    CQuarvelView second(document, config);
    second.OnUpdate();
    EXPECT_EQ(KindNumber(document.model().Line(0).segments[0].kind()), 2);
    EXPECT_EQ(document.model().playerSlots().connectionCount(), 1);
    EXPECT_EQ(second.lineCount(), 1);
}

TEST_F(ProgressTest, WithoutAMainWindowTheWalkRunsUnseen) {
    TempFile file(PlainLines(3));
    CQuarvelDoc document;
    ASSERT_TRUE(document.Open(QString::fromStdString(file.path())));
    CQuarvelView view(document, config);
    view.OnUpdate();
    EXPECT_EQ(view.lineCount(), 3);
    EXPECT_EQ(document.model().Line(2).visibleLength, 60);
}

} // namespace
