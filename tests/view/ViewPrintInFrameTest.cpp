// Print and Print Preview from the main window: the preview's pages for the
// whole log, for the selection, with long lines wrapped or cut, and Ctrl+P.
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "MainFrameTestFixture.h"

#include <QCheckBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>
#include <functional>

using namespace CommandId;

namespace {

// `count` lines of `width` characters.
std::string LongLines(int count, int width) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += "   0:01 say: A: " + std::string(static_cast<std::size_t>(width - 16), 'x') + "\n";
    }
    return bytes;
}

// Hands the print preview to `handler` once it is up, and leaves the
// progress of a long job alone (it closes by itself); any other modal window
// is rejected, so a test never hangs.
class PreviewWatcher {
public:
    explicit PreviewWatcher(std::function<void(QPrintPreviewDialog*)> handler)
        : handler_(std::move(handler)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    int previews = 0;

private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || qobject_cast<QProgressDialog*>(modal)) {
            return;
        }
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(modal)) {
            ++previews;
            handler_(preview);
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal);
            dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }

    std::function<void(QPrintPreviewDialog*)> handler_;
    QTimer timer_;
};

// What the preview showed, read while it is open.
struct PreviewPages {
    int shown = -1;       // as it opened
    int toggledWrap = -1; // after "Wrap long lines" was switched
    bool selectionEnabled = false;
    bool selectionChecked = false;
};

class PrintPreviewTest : public MainFrameTest {
protected:
    PreviewPages Preview() {
        PreviewPages pages;
        PreviewWatcher watcher([&](QPrintPreviewDialog* preview) {
            auto* widget = preview->findChild<QPrintPreviewWidget*>();
            ASSERT_NE(widget, nullptr);
            pages.shown = widget->pageCount();
            auto* selection = preview->findChild<QAction*>(QStringLiteral("selectionOnly"));
            ASSERT_NE(selection, nullptr);
            pages.selectionEnabled = selection->isEnabled();
            pages.selectionChecked = selection->isChecked();
            auto* wrap = preview->findChild<QAction*>(QStringLiteral("wrapLines"));
            ASSERT_NE(wrap, nullptr);
            wrap->trigger();
            pages.toggledWrap = widget->pageCount();
            wrap->trigger(); // back as it was, for the next run
        });
        frame->commandAction(kFilePrintPreview)->trigger();
        EXPECT_EQ(watcher.previews, 1);
        return pages;
    }
};

TEST_F(PrintPreviewTest, ShowsEveryPageOfTheLogAndWrapsLongLinesOnRequest) {
    TempFile log(LongLines(100, 300));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    const PreviewPages pages = Preview();
    // Wrapped by default: each line takes several rows.
    EXPECT_GT(pages.shown, 2);
    EXPECT_LT(pages.toggledWrap, pages.shown) << "cut lines take a row each";
    EXPECT_GT(pages.toggledWrap, 1) << "100 lines need more than one page";
    EXPECT_FALSE(pages.selectionEnabled) << "nothing is selected";
}

TEST_F(PrintPreviewTest, ShowsTheSelectionAloneWhileOneIsShown) {
    TempFile log(LongLines(300, 40));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    const PreviewPages whole = Preview();
    frame->activeView()->SelectRange(10, 0, 12, 5);
    const PreviewPages selected = Preview();
    EXPECT_GT(whole.shown, 1);
    EXPECT_TRUE(selected.selectionEnabled);
    EXPECT_TRUE(selected.selectionChecked);
    EXPECT_EQ(selected.shown, 1);
}

// The preview lays its pages out again (a choice changed) while it shows
// the old ones. Its new pages must be painted without the event loop
// turning: a repaint meanwhile would draw the old pages, which the preview
// has already freed. A long job's progress box is where the loop would
// turn; here it shows at once.
TEST_F(PrintPreviewTest, LayingThePagesOutAgainLetsNoEventThrough) {
    TempFile log(LongLines(100, 300));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    frame->activeView()->SetPrintProgressDelay(0);
    bool delivered = false;
    bool deliveredDuringLayout = false;
    QObject marker;
    struct Marked : QObject {
        explicit Marked(bool& seen) : seen_(seen) {}
        bool event(QEvent* event) override {
            if (event->type() == QEvent::User) {
                seen_ = true;
                return true;
            }
            return QObject::event(event);
        }
        bool& seen_;
    } receiver(delivered);
    PreviewWatcher watcher([&](QPrintPreviewDialog* preview) {
        auto* widget = preview->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        widget->update(); // a repaint waits, as one often does
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        preview->findChild<QAction*>(QStringLiteral("wrapLines"))->trigger();
        deliveredDuringLayout = delivered;
    });
    frame->commandAction(kFilePrintPreview)->trigger();
    EXPECT_EQ(watcher.previews, 1);
    EXPECT_FALSE(deliveredDuringLayout);
}

TEST_F(PrintPreviewTest, TheWrapChoiceIsKeptForTheNextTime) {
    TempFile log(LongLines(3, 40));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    PreviewWatcher watcher([&](QPrintPreviewDialog* preview) {
        preview->findChild<QAction*>(QStringLiteral("wrapLines"))->trigger();
    });
    frame->commandAction(kFilePrintPreview)->trigger();
    QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
    EXPECT_EQ(settings.value(QStringLiteral("Settings/PrintWrapLines")).toBool(), false);
}

TEST_F(PrintPreviewTest, CtrlPAsksForAPrinterWithTheSelectionAndWrapChoices) {
    TempFile log(LongLines(3, 40));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    ShowActive();
    frame->activeView()->SelectRange(0, 0, 1, 5);
    bool selectionOffered = false;
    bool wrapOffered = false;
    ModalWatcher watcher([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
            selectionOffered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
            wrapOffered = dialog->findChild<QCheckBox*>(QStringLiteral("wrapLines")) != nullptr;
        }
    });
    QTest::keyClick(frame->activeView(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(watcher.seenClasses, (std::vector<QString>{"QPrintDialog"}));
    EXPECT_TRUE(selectionOffered);
    EXPECT_TRUE(wrapOffered);
    EXPECT_TRUE(messages.messages.empty()) << "a cancelled print says nothing";
}

} // namespace
