// quarvel: the desktop viewer of game server logs.
#include "CMainFrame.h"
#include "ProgramIcon.h"
#include "QuarvelApplication.h"
#include "QuarvelVersion.h"
#include "Startup.h"
#include "StartupOptions.h"
#include "UserSettings.h"

#include <QApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QSize>
#include <QThreadPool>
#include <cstdio>
#include <utility>

namespace {

// `--screenshot FILE.png [--size WxH]`: open the logs, let their windows
// classify them, save a picture of the main window and exit. For the
// README's picture and for looking at the drawing without a display.
struct ScreenshotRequest {
    QString file; // empty when no picture is asked for
    QSize size{1280, 800};
    QString error;
};

constexpr char kScreenshotHelp[] =
    "\nPicture of the window:\n"
    "  --screenshot <file>  Open the logs, save a PNG of the main window to\n"
    "                       <file> and exit (on the offscreen platform unless\n"
    "                       QT_QPA_PLATFORM says otherwise). A log that does\n"
    "                       not open ends it with exit code 1 and no picture.\n"
    "  --size <WxH>         The window's size for --screenshot (default\n"
    "                       1280x800).\n";

// Takes the screenshot options out of `arguments`, which then holds what the
// usual start-up reads. Options end at "--", as for the other options.
ScreenshotRequest TakeScreenshotOptions(QStringList& arguments) {
    ScreenshotRequest request;
    QString size;
    for (qsizetype i = 1; i < arguments.size();) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            break;
        }
        QString* target = nullptr;
        QString name;
        for (const auto& [option, value] :
             {std::pair{"--screenshot", &request.file}, std::pair{"--size", &size}}) {
            if (argument == QLatin1String(option) ||
                argument.startsWith(QLatin1String(option) + QLatin1Char('='))) {
                target = value;
                name = QLatin1String(option);
            }
        }
        if (target == nullptr) {
            ++i;
            continue;
        }
        if (argument.size() > name.size()) {
            *target = argument.mid(name.size() + 1);
            arguments.removeAt(i);
        } else if (i + 1 < arguments.size()) {
            *target = arguments[i + 1];
            arguments.remove(i, 2);
        } else {
            request.error = QStringLiteral("Missing value after '%1'.").arg(name);
            arguments.removeAt(i);
        }
    }
    if (!request.error.isEmpty()) {
        return request;
    }
    if (!size.isEmpty()) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(size);
        const QSize parsed = match.hasMatch()
                                 ? QSize(match.captured(1).toInt(), match.captured(2).toInt())
                                 : QSize();
        if (parsed.width() < 1 || parsed.height() < 1 || parsed.width() > 16384 ||
            parsed.height() > 16384) {
            request.error =
                QStringLiteral("Bad window size '%1': use WxH, as in 1280x800.").arg(size);
        } else if (request.file.isEmpty()) {
            request.error = QStringLiteral("'--size' is for '--screenshot'.");
        } else {
            request.size = parsed;
        }
    }
    return request;
}

// Help and version need no window system, so they are answered before the
// application object exists (which would need a display).
bool AnswerWithoutGui(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    TakeScreenshotOptions(arguments);
    const StartupOptions options = ParseStartupOptions(arguments);
    if (options.error.isEmpty() && options.showHelp) {
        std::printf("%s%s", qPrintable(options.helpText), kScreenshotHelp);
        return true;
    }
    if (options.error.isEmpty() && options.showVersion) {
        std::printf("Quarvel Version %s\n", kQuarvelVersion);
        return true;
    }
    return false;
}

// Shows the main window with the start-up work done and runs until it closes.
int RunGui(const StartupOptions& options) {
    CMainFrame frame;
    RunStartup(frame, options);
    frame.show();
    return QApplication::exec();
}

// Messages of a screenshot run go to the error output: nobody is there to
// close a message box.
class ErrorOutputMessages : public MessageSink {
public:
    void Show(const Message& message) override {
        std::fprintf(stderr, "quarvel: %s\n", message.text.c_str());
    }
};

int RunScreenshot(const StartupOptions& options, const ScreenshotRequest& request) {
    CMainFrame frame;
    ErrorOutputMessages messages;
    frame.setMessageSink(&messages);
    frame.resize(request.size);
    // A log that did
    // not open has been reported; a picture without it would pass for one
    // of it, so none is taken.
    if (!RunStartup(frame, options)) {
        return 1;
    }
    // A large log loads in slices; the picture shows it whole.
    frame.FinishLoading();
    frame.show();
    QCoreApplication::processEvents();
    const QPixmap picture = frame.grab();
    frame.setMessageSink(nullptr);
    if (!picture.save(request.file, "PNG")) {
        std::fprintf(stderr, "quarvel: cannot write %s\n", qPrintable(request.file));
        return 1;
    }
    return 0;
}

// True when the command line asks for a picture: it is then taken on the
// offscreen platform unless the environment names another.
bool WantsScreenshot(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return !TakeScreenshotOptions(arguments).file.isEmpty();
}

} // namespace

int main(int argc, char** argv) {
    if (AnswerWithoutGui(argc, argv)) {
        return 0;
    }
    if (WantsScreenshot(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QuarvelApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    QApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    QApplication::setApplicationVersion(QLatin1String(kQuarvelVersion));
    QApplication::setWindowIcon(ProgramIcon());
    // Ties the windows to the installed desktop entry (its icon and name).
    QGuiApplication::setDesktopFileName(QStringLiteral("quarvel"));

    // Read again now that Qt has taken its own options (-platform and such).
    QStringList arguments = QApplication::arguments();
    const ScreenshotRequest screenshot = TakeScreenshotOptions(arguments);
    const StartupOptions options = ParseStartupOptions(arguments);
    const QString error = !screenshot.error.isEmpty() ? screenshot.error : options.error;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "quarvel: %s\n\n%s%s", qPrintable(error), qPrintable(options.helpText),
                     kScreenshotHelp);
        return 2;
    }
    const int status =
        !screenshot.file.isEmpty() ? RunScreenshot(options, screenshot) : RunGui(options);
    // Player database look-ups still running off the user-interface thread
    // end while Qt is still there for them.
    QThreadPool::globalInstance()->waitForDone();
    return status;
}
