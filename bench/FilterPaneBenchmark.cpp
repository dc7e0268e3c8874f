// Filtering a large log in the window: the filtered pane given a filter over
// a 1 GB log already loaded and classified. The time from the filter to the
// first screen of hits in the pane, to the last line decided, and the longest
// stall of the window thread's event loop meanwhile (LoopStallWatch). The log
// is generated once into the temporary folder (the one open_bench makes).
#include "BenchLog.h"
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CQuarvelDoc.h"
#include "FilterPane.h"
#include "FilteredLinesView.h"
#include "LoopStallWatch.h"
#include "MatchIndex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <string>

namespace {

// Turns the event loop until `done` holds.
template <typename Done> void TurnUntil(Done done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

enum class Filter { RareText, CommonText, Player, Kills };

void BM_FilterInWindow(benchmark::State& state) {
    const std::string path = GeneratedLogOf(1024);
    const auto filter = static_cast<Filter>(state.range(0));
    for (auto _ : state) {
        CMainFrame frame;
        frame.resize(1280, 800);
        frame.show();
        frame.OpenDocumentFile(QString::fromStdString(path));
        CChildFrame* child = frame.activeFrame();
        CQuarvelDoc* document = child->document();
        const LogModel& model = document->model();
        TurnUntil(
            [&] { return !document->loading() && model.classifiedCount() >= model.lineCount(); });
        child->ShowFilteredPane(true);
        QCoreApplication::processEvents();
        FilterPane* pane = child->filterPane();
        FilteredLinesView* list = pane->linesView();

        QElapsedTimer clock;
        qint64 firstScreenMs = -1;
        QObject::connect(pane, &FilterPane::listChanged, pane, [&] {
            if (firstScreenMs < 0 && list->lineCount() >= list->visibleLines()) {
                firstScreenMs = clock.elapsed();
            }
        });
        LoopStallWatch stalls;
        stalls.Start();
        clock.start();
        switch (filter) {
        case Filter::RareText:
            pane->SetText(QStringLiteral("105.159.176.232"));
            break;
        case Filter::CommonText:
            pane->SetText(QStringLiteral("killed"));
            break;
        case Filter::Player:
            pane->SetPlayer("28391A6D850E6CAB56832E45D9FC70C7", QStringLiteral("a player"));
            break;
        case Filter::Kills:
            pane->findChild<QToolButton*>(QStringLiteral("filterKindKills"))->click();
            break;
        }
        TurnUntil([&] {
            return pane->index() == nullptr || pane->index()->stop() != IndexStop::None ||
                   pane->index()->scannedLines() >= model.lineCount();
        });
        const qint64 doneMs = clock.elapsed();
        stalls.Stop();
        stalls.Report(state);
        state.counters["first_screen_ms"] = static_cast<double>(firstScreenMs);
        state.counters["all_decided_ms"] = static_cast<double>(doneMs);
        state.counters["hits"] = pane->index() != nullptr ? pane->index()->hits().Count() : -1;
        state.counters["lines"] = model.lineCount();
    }
}
BENCHMARK(BM_FilterInWindow)
    ->ArgName("filter")
    ->Arg(static_cast<int>(Filter::RareText))
    ->Arg(static_cast<int>(Filter::CommonText))
    ->Arg(static_cast<int>(Filter::Player))
    ->Arg(static_cast<int>(Filter::Kills))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

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
