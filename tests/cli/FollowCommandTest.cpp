// quarvelctl follow, run as a program while the test writes to its log.
#include "RunQuarvelctl.h"
#include "TempFile.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

// A follow command running in the background.
class Follower {
public:
    explicit Follower(const std::vector<std::string>& args) {
        QStringList arguments{QStringLiteral("follow")};
        for (const std::string& arg : args) {
            arguments.append(QString::fromStdString(arg));
        }
        process_.start(QStringLiteral(QUARVELCTL_PATH), arguments);
        process_.waitForStarted();
    }
    ~Follower() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    // Reads what is printed until `lines` lines have come (or a few seconds
    // have passed).
    std::string WaitForLines(int lines) {
        for (int tries = 0; tries < 100 && CountLines() < lines; ++tries) {
            process_.waitForReadyRead(100);
            out_ += process_.readAllStandardOutput().toStdString();
        }
        return out_;
    }
    int CountLines() const { return static_cast<int>(std::count(out_.begin(), out_.end(), '\n')); }

    // Waits for the end; the exit code, or -1 when it did not end or crashed.
    int Finish(int waitMs = 10000) {
        if (!process_.waitForFinished(waitMs) || process_.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        out_ += process_.readAllStandardOutput().toStdString();
        err_ += process_.readAllStandardError().toStdString();
        return process_.exitCode();
    }
    void Terminate() { ::kill(static_cast<pid_t>(process_.processId()), SIGTERM); }

    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
    QProcess process_;
    std::string out_;
    std::string err_;
};

std::string LinesOf(const std::string& path) {
    const CliResult r = RunQuarvelctl({"lines", path});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
}

const std::string kConnect =
    "   0:01 ClientConnect: 3 - 1.2.3.4:5 [0123456789ABCDEF0123456789ABCDEF]\n";
const std::string kName = "   0:02 ClientUserinfoChanged: 3 n\\^1Bob\\t\\1\\m\n";
const std::string kChat = "   0:03 say: ^1Bob: anyone?\n";

TEST(QuarvelctlFollow, PrintsTheLogThenEveryLineAsItsLfArrives) {
    TempFile log(kConnect);
    Follower follow({log.path(), "--idle-exit", "1"});
    follow.WaitForLines(1);
    Append(log.path(), kName + "   0:03 say: ^1Bob: any");
    follow.WaitForLines(2);
    Append(log.path(), "one?\r\n");
    EXPECT_EQ(follow.Finish(), 0) << follow.err();
    // Each line once, classified as a fresh look at the final file does.
    EXPECT_EQ(follow.out(), LinesOf(log.path()));
}

TEST(QuarvelctlFollow, ATruncatedLogResetsAndPrintsTheNewFileFromItsFirstLine) {
    TempFile log(kConnect + kName + kChat);
    Follower follow({log.path(), "--idle-exit", "1"});
    follow.WaitForLines(3);
    std::filesystem::resize_file(log.path(), 0);
    Append(log.path(), "   0:00 fresh\n");
    EXPECT_EQ(follow.Finish(), 0) << follow.err();
    const std::string before = follow.out().substr(0, follow.out().find("{\"reset\""));
    EXPECT_EQ(follow.out(), before + "{\"reset\": \"truncated\"}\n" + LinesOf(log.path()));
}

TEST(QuarvelctlFollow, ARotatedLogResetsAsReplaced) {
    TempFile log(kConnect);
    const std::string rotated = log.path() + ".1";
    Follower follow({log.path(), "--idle-exit", "1"});
    follow.WaitForLines(1);
    std::filesystem::rename(log.path(), rotated);
    Append(log.path(), kChat);
    EXPECT_EQ(follow.Finish(), 0) << follow.err();
    EXPECT_NE(follow.out().find("{\"reset\": \"replaced\"}\n" + LinesOf(log.path())),
              std::string::npos)
        << follow.out();
    std::filesystem::remove(rotated);
}

TEST(QuarvelctlFollow, EndsCleanlyOnSigterm) {
    TempFile log(kConnect + kChat);
    Follower follow({log.path()});
    follow.WaitForLines(2);
    follow.Terminate();
    EXPECT_EQ(follow.Finish(), 0);
    EXPECT_EQ(follow.out(), LinesOf(log.path()));
}

TEST(QuarvelctlFollow, BadCallsExitWithTwo) {
    EXPECT_EQ(RunQuarvelctl({"follow", "/nonexistent/quarvel/missing.log"}).exitCode, 2);
    EXPECT_EQ(RunQuarvelctl({"follow"}).exitCode, 2);
    TempFile log(kConnect);
    EXPECT_EQ(RunQuarvelctl({"follow", log.path(), "--idle-exit", "-1"}).exitCode, 2);
    EXPECT_EQ(RunQuarvelctl({"follow", log.path(), "--idle-exit", "soon"}).exitCode, 2);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
