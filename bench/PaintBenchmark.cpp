// The log view's painting on the offscreen platform: a full 1920 x 1080
// window of dense colour-coded lines, and opening the generated 200 MB log
// (BenchLog.h) to its first painted frame.
#include "AppConfig.h"
#include "BenchLog.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

QApplication& BenchApplication() {
    static int argc = 1;
    static char name[] = "paint_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static QApplication instance(argc, argv);
        return &instance;
    }();
    return *app;
}

// Lines as dense as a log gets: every row wider than the window, names and
// messages with a colour code every few characters, the rest in the event
// kinds' own colours.
std::string DenseLog(int lines) {
    std::string bytes;
    for (int slot = 0; slot < 16; ++slot) {
        bytes += "   0:01 ClientConnect: " + std::to_string(slot) + " - 10.0.0." +
                 std::to_string(slot) + ":20100 [0123456789ABCDEF0123456789ABCDE" +
                 "0123456789ABCDEF"[slot] + "]\n";
        bytes += "   0:01 ClientUserinfoChanged: " + std::to_string(slot) + " n\\^" +
                 std::to_string(slot % 10) + "Pl^7ay^3er" + std::to_string(slot) + "\\t\\" +
                 std::to_string(slot % 4) + "\\model\\x\n";
    }
    for (int i = 0; i < lines; ++i) {
        const std::string name =
            "^" + std::to_string(i % 10) + "Pl^7ay^3er" + std::to_string(i % 16);
        switch (i % 4) {
        case 0:
        case 1: {
            std::string message;
            for (int word = 0; word < 40; ++word) {
                message +=
                    "^" + std::to_string((i + word) % 10) + "word" + std::to_string(word) + " ";
            }
            bytes += "  12:34 say: " + name + ": " + message + "\n";
            break;
        }
        case 2:
            bytes += "  12:34 Kill: 3 7 12: " + name + " killed " + name +
                     " by MOD_M4_ASSAULT_RIFLE and then some more plain text to fill the row out "
                     "past the right edge of a wide window, which it easily does\n";
            break;
        default:
            bytes += "  12:34 ClientUserinfoChanged: " + std::to_string(i % 16) + " n\\" + name +
                     "\\t\\" + std::to_string(i % 4) +
                     "\\model\\NPC_Taylor/taylor_desert\\hc\\100\\w\\15\\l\\6\\tt\\0\\tl\\0"
                     "\\and\\more\\key\\value\\pairs\\to\\fill\\the\\row\\out\\past\\the\\edge\n";
            break;
        }
    }
    return bytes;
}

class DenseLogFile {
public:
    DenseLogFile() : path_(std::filesystem::temp_directory_path() / "quarvel-paint-bench.log") {
        std::ofstream(path_, std::ios::binary) << DenseLog(4000);
    }
    ~DenseLogFile() { std::filesystem::remove(path_); }
    QString path() const { return QString::fromStdString(path_.string()); }

private:
    std::filesystem::path path_;
};

// Shows the view with a client area of exactly `size` pixels.
void ShowWithClientSize(CQuarvelView& view, QSize size) {
    view.resize(size);
    view.show();
    QCoreApplication::processEvents();
    view.resize(size + (view.size() - view.viewport()->size()));
    QCoreApplication::processEvents();
}

// One full frame per iteration, as after a scroll: the view moves down a
// line (back to the top at the end) and repaints its whole window through
// the backing store, as on screen.
void PaintFullView(benchmark::State& state) {
    BenchApplication();
    DenseLogFile file;
    CQuarvelDoc document;
    document.Open(file.path());
    const AppConfig config; // no servers, no database
    CQuarvelView view(document, config);
    ShowWithClientSize(view, QSize(1920, 1080));
    view.OnUpdate();
    for (auto _ : state) {
        if (view.topLine() >= view.verticalScrollBar()->maximum()) {
            view.OnVScroll(QAbstractSlider::SliderToMinimum);
        }
        view.OnVScroll(QAbstractSlider::SliderSingleStepAdd);
        view.viewport()->repaint();
    }
    state.counters["rows"] = view.visibleLines();
    state.counters["columns"] = view.visibleColumns();
}
BENCHMARK(PaintFullView)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The drawing alone, into an image, without the backing store.
void RenderFullView(benchmark::State& state) {
    BenchApplication();
    DenseLogFile file;
    CQuarvelDoc document;
    document.Open(file.path());
    const AppConfig config; // no servers, no database
    CQuarvelView view(document, config);
    ShowWithClientSize(view, QSize(1920, 1080));
    view.OnUpdate();
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (view.topLine() >= view.verticalScrollBar()->maximum()) {
            view.OnVScroll(QAbstractSlider::SliderToMinimum);
        }
        view.OnVScroll(QAbstractSlider::SliderSingleStepAdd);
        view.viewport()->render(&image);
    }
}
BENCHMARK(RenderFullView)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Opening a log as the user does: the document maps and splits the file, the
// view's update classifies every line, and the first frame is painted.
void OpenToFirstFrame(benchmark::State& state) {
    BenchApplication();
    const QString path = QString::fromStdString(BenchLogPath());
    int lines = 0;
    for (auto _ : state) {
        CQuarvelDoc document;
        document.Open(path);
        const AppConfig config; // no servers, no database
        CQuarvelView view(document, config);
        ShowWithClientSize(view, QSize(1920, 1080));
        view.OnUpdate();
        view.viewport()->repaint();
        lines = view.lineCount();
    }
    state.counters["lines"] = lines;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * BenchLogBytes());
}
BENCHMARK(OpenToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
