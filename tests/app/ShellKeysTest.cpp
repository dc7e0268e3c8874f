// The keys of the main frame at work: the ones without a command do nothing
// (and Ctrl+S never writes the log), Ctrl+O and Ctrl+P reach their dialogs.
#include "CQuarvelDoc.h"
#include "MainFrameTestFixture.h"

#include <QFileDialog>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct InertKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

void PrintTo(const InertKey& k, std::ostream* os) {
    *os << k.name;
}

class InertKeyTest : public MainFrameTest, public ::testing::WithParamInterface<InertKey> {};

TEST_P(InertKeyTest, DoesNothingToTheOpenLog) {
    const std::string bytes = Lines(4);
    TempFile log(bytes);
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    ShowActive();
    const auto modified = std::filesystem::last_write_time(log.path());
    ModalWatcher watcher;

    QTest::keyClick(frame->activeView(), GetParam().key, GetParam().modifiers);
    QCoreApplication::processEvents();

    EXPECT_TRUE(watcher.seenClasses.empty()) << watcher.seenClasses.front().toStdString();
    EXPECT_EQ(frame->childFrames().size(), 1);
    EXPECT_EQ(frame->documents().documentCount(), 1);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(ReadAll(log.path()), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(log.path()), modified);
}

INSTANTIATE_TEST_SUITE_P(
    UnservedKeys, InertKeyTest,
    ::testing::Values(InertKey{"CtrlN", Qt::Key_N, Qt::ControlModifier},
                      InertKey{"CtrlS", Qt::Key_S, Qt::ControlModifier},
                      InertKey{"CtrlV", Qt::Key_V, Qt::ControlModifier},
                      InertKey{"ShiftInsert", Qt::Key_Insert, Qt::ShiftModifier},
                      InertKey{"CtrlX", Qt::Key_X, Qt::ControlModifier},
                      InertKey{"ShiftDelete", Qt::Key_Delete, Qt::ShiftModifier},
                      InertKey{"CtrlZ", Qt::Key_Z, Qt::ControlModifier},
                      InertKey{"AltBackspace", Qt::Key_Backspace, Qt::AltModifier},
                      InertKey{"F6", Qt::Key_F6, Qt::NoModifier},
                      InertKey{"ShiftF6", Qt::Key_F6, Qt::ShiftModifier}),
    [](const auto& info) { return std::string(info.param.name); });

// The counterpart of the test above: the same way of pressing keys does reach
// the commands that have one.
TEST_F(MainFrameTest, CtrlOOpensTheFileDialog) {
    ShowActive();
    ModalWatcher watcher;
    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(watcher.seenClasses, (std::vector<QString>{"QFileDialog"}));
}

TEST_F(MainFrameTest, CtrlPAsksForAPrinterWhileALogWindowIsActive) {
    ShowActive();
    {
        ModalWatcher watcher;
        QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
        EXPECT_TRUE(watcher.seenClasses.empty()) << "no window, nothing to print";
    }
    TempFile log(Lines(2));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    ModalWatcher watcher;
    QTest::keyClick(frame->activeView(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(watcher.seenClasses.size(), 1u);
    EXPECT_TRUE(watcher.seenClasses[0].contains("PrintDialog"))
        << watcher.seenClasses[0].toStdString();
}

} // namespace
