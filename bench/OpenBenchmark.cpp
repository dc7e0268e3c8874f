// Opening a large log in the main window: the time from the open to the
// first painted frame that shows classified lines, the longest the event
// loop stood still while the log loaded (the longest gap between two ticks
// of a 5 ms timer), and the time until the whole log was in. The logs are
// generated once into the temporary folder (200 MB and 1 GB).
#include "BenchLog.h"
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace {

// Notes the first paint of the view that shows only classified lines.
class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(const QElapsedTimer& clock) : clock_(clock) {}
    void Watch(CQuarvelView* view) { view_ = view; }
    qint64 firstFrameMs() const { return firstFrameMs_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && firstFrameMs_ < 0 && view_ != nullptr) {
            const int last =
                std::min(view_->topLine() + view_->visibleLines(), view_->lineCount()) - 1;
            if (last >= 0 && view_->document().model().IsClassified(last)) {
                firstFrameMs_ = clock_.elapsed();
            }
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
    CQuarvelView* view_ = nullptr;
    qint64 firstFrameMs_ = -1;
};

void BM_OpenToFirstFrame(benchmark::State& state) {
    const std::string path = GeneratedLogOf(state.range(0));
    for (auto _ : state) {
        CMainFrame frame;
        frame.resize(1280, 800);
        frame.show();
        QCoreApplication::processEvents();

        QElapsedTimer clock;
        FirstFrameWatch watch(clock);
        qint64 lastTick = 0;
        qint64 longestGap = 0;
        QTimer ticks;
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
        });

        clock.start();
        ticks.start();
        frame.OpenDocumentFile(QString::fromStdString(path));
        CQuarvelView* view = frame.activeView();
        view->viewport()->installEventFilter(&watch);
        watch.Watch(view);
        CQuarvelDoc* document = frame.activeFrame()->document();
        const qint64 openMs = clock.elapsed();
        longestGap = std::max(longestGap, openMs); // the open itself stood still
        lastTick = openMs;
        if (document->loading()) {
            QSignalSpy finished(document, &CQuarvelDoc::loadFinished);
            finished.wait(600'000);
        }
        const qint64 loadedMs = clock.elapsed();
        // The last repaint.
        QCoreApplication::processEvents();
        ticks.stop();
        state.counters["open_ms"] = static_cast<double>(openMs);
        state.counters["first_frame_ms"] = static_cast<double>(watch.firstFrameMs());
        state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
        state.counters["loaded_ms"] = static_cast<double>(loadedMs);
        state.counters["lines"] = document->model().lineCount();
    }
}
BENCHMARK(BM_OpenToFirstFrame)->Arg(200)->Arg(1024)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
