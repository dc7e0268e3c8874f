// The Servers dialog on the offscreen platform: quarvel.cfg's servers added,
// edited and removed and written back, values refused with their field
// named, Test against the fake game server, and saves that are refused.
#include "CServerEditDlg.h"
#include "CServersDlg.h"
#include "FakeGameServer.h"
#include "MessageRecorder.h"
#include "ModalScript.h"
#include "ServerTestLine.h"
#include "TempFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string kServersFile = "[plugins]\n"
                                 "x=1\n"
                                 "\n"
                                 "; game servers\n"
                                 "[server]\n"
                                 "Name = Alpha\n"
                                 "address=192.0.2.1\n"
                                 "port=28960\n"
                                 "rconpass=one\n"
                                 "kick=clientkick {slot}\n"
                                 "color=blue\n"
                                 "\n"
                                 "; the clan server\n"
                                 "[server]\n"
                                 "name=Bravo\n"
                                 "address=192.0.2.2\n"
                                 "port=28961\n"
                                 "rconpass=two\n";

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ServerValues ServerOf(const std::string& name, const std::string& address, const std::string& port,
                      const std::string& password) {
    ServerValues values;
    values[ServerKey::Name] = name;
    values[ServerKey::Address] = address;
    values[ServerKey::Port] = port;
    values[ServerKey::Password] = password;
    return values;
}

// quarvel.cfg in a file of its own (mode 0644, as a user might have made
// it), read into the dialog, whose messages are recorded.
struct DialogOverFile {
    explicit DialogOverFile(const std::string& text) : file(text, ".cfg") {
        chmod(file.path().c_str(), 0644);
        ConfigDocumentRead read = ConfigDocument::Read(file.path());
        dialog = std::make_unique<CServersDlg>(std::move(*read.document), nullptr);
        dialog->SetMessageSink(&messages);
    }

    TempFile file;
    MessageRecorder messages;
    std::unique_ptr<CServersDlg> dialog;
};

// What a modal window's step does: fills the server window and presses OK.
ModalScript::Step FillServer(std::vector<std::pair<ServerKey, QString>> fields) {
    return [fields](QWidget& window) {
        auto& editor = dynamic_cast<CServerEditDlg&>(window);
        for (const auto& [key, text] : fields) {
            editor.field(key)->setText(text);
        }
        editor.accept();
    };
}

ModalScript::Step Press(QMessageBox::StandardButton button) {
    return
        [button](QWidget& window) { dynamic_cast<QMessageBox&>(window).button(button)->click(); };
}

struct SaveCase {
    const char* name;
    std::deque<ModalScript::Step> windows; // answered in turn
    std::function<void(CServersDlg&)> act;
    std::string text; // the file once OK has written it
};

void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.name;
}

class ServersDialogSave : public ::testing::TestWithParam<SaveCase> {};

TEST_P(ServersDialogSave, WritesOnlyWhatWasEditedKeepingTheRestAndMode0600) {
    DialogOverFile over(kServersFile);
    ModalScript script(GetParam().windows);
    GetParam().act(*over.dialog);
    over.dialog->accept();
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(over.messages.messages.empty());
    EXPECT_TRUE(over.dialog->saved());
    EXPECT_EQ(over.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FileText(over.file.path()), GetParam().text);
    struct stat info {};
    ASSERT_EQ(stat(over.file.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    AppConfig config;
    config.path = over.file.path();
    ASSERT_TRUE(config.Load());
    EXPECT_TRUE(config.refusals.empty()) << "the reader takes what was written";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ServersDialogSave,
    ::testing::Values(
        SaveCase{"AddedByItsWindow",
                 {FillServer({{ServerKey::Name, "Charlie"},
                              {ServerKey::Address, " game.example.org "},
                              {ServerKey::Port, "28962"},
                              {ServerKey::Password, "th ree"},
                              {ServerKey::Log, "/srv/charlie/games.log"},
                              {ServerKey::Poll, "10"}})},
                 [](CServersDlg& dialog) { dialog.addButton()->click(); },
                 kServersFile + "\n[server]\nname=Charlie\naddress=game.example.org\n"
                                "port=28962\nrconpass=th ree\nlog=/srv/charlie/games.log\n"
                                "poll=10\n"},
        SaveCase{"EditedByItsWindow",
                 {FillServer({{ServerKey::Address, "192.0.2.9"},
                              {ServerKey::Kick, ""},
                              {ServerKey::Say, "say \"{text}\""}})},
                 [](CServersDlg& dialog) { dialog.editButton()->click(); },
                 "[plugins]\nx=1\n\n; game servers\n[server]\nName = Alpha\n"
                 "address=192.0.2.9\nport=28960\nrconpass=one\ncolor=blue\n"
                 "say=say \"{text}\"\n\n; the clan server\n[server]\nname=Bravo\n"
                 "address=192.0.2.2\nport=28961\nrconpass=two\n"},
        SaveCase{"RenamedAndAnotherRemoved",
                 {Press(QMessageBox::Yes)},
                 [](CServersDlg& dialog) {
                     ServerValues alpha = dialog.edits().servers()[0].values;
                     alpha[ServerKey::Name] = "Alfa";
                     dialog.SetServer(0, alpha);
                     dialog.list()->setCurrentItem(dialog.list()->topLevelItem(1));
                     dialog.removeButton()->click();
                 },
                 "[plugins]\nx=1\n\n; game servers\n[server]\nName = Alfa\n"
                 "address=192.0.2.1\nport=28960\nrconpass=one\nkick=clientkick {slot}\n"
                 "color=blue\n"}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

TEST(ServersDialog, ListsTheServersInFileOrderWithThePasswordMasked) {
    DialogOverFile over(kServersFile);
    QTreeWidget* list = over.dialog->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    const QTreeWidgetItem* alpha = list->topLevelItem(0);
    EXPECT_EQ(QStringList({alpha->text(0), alpha->text(1), alpha->text(2), alpha->text(3)}),
              QStringList({"Alpha", "192.0.2.1", "28960", "********"}));
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Bravo");
}

struct RefusalCase {
    ServerKey key;
    QString text;
    std::string message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.message;
}

class ServerWindowRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ServerWindowRefusal, NamesTheFieldAndKeepsTheWindowOpen) {
    CServerEditDlg editor(QStringLiteral("Edit server"),
                          ServerOf("Alpha", "192.0.2.1", "28960", "one"), nullptr);
    MessageRecorder messages;
    editor.SetMessageSink(&messages);
    editor.field(GetParam().key)->setText(GetParam().text);
    editor.accept();
    EXPECT_NE(editor.result(), QDialog::Accepted);
    EXPECT_EQ(messages.messages,
              (std::vector<Message>{{GetParam().message, "Edit server", MessageIcon::Warning}}));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ServerWindowRefusal,
    ::testing::Values(
        RefusalCase{ServerKey::Name, "  ", "Name: The server needs a name."},
        RefusalCase{ServerKey::Name, QString(40, 'n'),
                    "Name: The value of \"name\" is longer than 39 characters."},
        RefusalCase{ServerKey::Name, QStringLiteral("\u03a9mega"),
                    "Name: It holds a character the configuration file cannot hold."},
        RefusalCase{ServerKey::Address, "192.0.2.1:28960",
                    "Address: \"address\" is neither a dotted IPv4 address nor a host name."},
        RefusalCase{ServerKey::Port, "70000", "Port: The port is a whole number from 1 to 65535."},
        RefusalCase{ServerKey::Password, "one ",
                    "Password: The value of \"rconpass\" cannot start or end with a blank."},
        RefusalCase{ServerKey::Poll, "0",
                    "Poll seconds: \"poll\" takes a whole number of seconds from 1 to 3600."},
        RefusalCase{ServerKey::Kick, "clientkick {text}",
                    "Kick: \"kick\" takes only the placeholders {slot}, {pbslot}, {reason}, not "
                    "{text}."}));

TEST(ServersDialog, ARefusedValueWritesNothing) {
    DialogOverFile over(kServersFile);
    ModalScript script({[&](QWidget& window) {
        auto& editor = dynamic_cast<CServerEditDlg&>(window);
        editor.field(ServerKey::Port)->setText("port");
        editor.accept(); // refused: the window stays, and the script cancels it
        EXPECT_TRUE(editor.isVisible());
    }});
    over.dialog->editButton()->click();
    EXPECT_EQ(script.shown(), 1);
    ASSERT_EQ(over.messages.messages.size(), 1u);
    EXPECT_EQ(over.messages.messages[0].text, "Port: The port is a whole number from 1 to 65535.");
    EXPECT_FALSE(over.dialog->edits().changed());
    over.dialog->accept();
    EXPECT_FALSE(over.dialog->saved());
    EXPECT_EQ(FileText(over.file.path()), kServersFile);
}

struct TestCase {
    const char* name;
    std::function<void(FakeGameServer&)> setUp;
    QString shown;
};

void PrintTo(const TestCase& c, std::ostream* os) {
    *os << c.name;
}

class ServerWindowTest : public ::testing::TestWithParam<TestCase> {};

TEST_P(ServerWindowTest, AsksTheServerAsTypedWithoutWaitingForIt) {
    FakeGameServer game("secret");
    game.SetMap("mp_carentan");
    game.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", "", 12, 48},
                     {4, "Camper", "192.0.2.8:27960", "", 0, 48}});
    GetParam().setUp(game);
    CServerEditDlg editor(QStringLiteral("Add server"), {}, nullptr);
    editor.field(ServerKey::Name)->setText("Local");
    editor.field(ServerKey::Address)->setText("127.0.0.1");
    editor.field(ServerKey::Port)->setText(QString::number(game.port()));
    editor.field(ServerKey::Password)->setText("secret");
    ServerTestLine* test = editor.test();
    QSignalSpy finished(test, &ServerTestLine::finished);
    QTest::mouseClick(test->button(), Qt::LeftButton);
    EXPECT_EQ(test->result()->text(), QStringLiteral("Asking 127.0.0.1:%1...").arg(game.port()))
        << "the click returns before the answer";
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(test->result()->text(), GetParam().shown);
    ASSERT_EQ(game.received().size(), 1u);
    EXPECT_TRUE(game.received()[0].ends_with(" status")) << "one question";
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ServerWindowTest,
    ::testing::Values(
        TestCase{"Answering", [](FakeGameServer&) {}, "mp_carentan, 2 players"},
        TestCase{"OfAnotherPassword", [](FakeGameServer& game) { game.SetPassword("other"); },
                 "Invalid RCON password"},
        TestCase{"Silent", [](FakeGameServer& game) { game.StaySilent(); }, "No reply"}),
    [](const ::testing::TestParamInfo<TestCase>& info) { return std::string(info.param.name); });

TEST(ServersDialog, TestAsksThePickedServerAsEditedAndNamesABrokenField) {
    FakeGameServer game("secret");
    game.SetPlayers({{0, "Angelyss", "bot", "", 2, 0}});
    DialogOverFile over(kServersFile);
    over.dialog->SetServer(1,
                           ServerOf("Bravo", "127.0.0.1", std::to_string(game.port()), "secret"));
    QSignalSpy finished(over.dialog->test(), &ServerTestLine::finished);
    over.dialog->test()->button()->click();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(over.dialog->test()->result()->text(), "oasago2, 1 player");

    ServerValues broken = ServerOf("Bravo", "127.0.0.1", "0", "secret");
    over.dialog->SetServer(1, broken);
    over.dialog->test()->button()->click();
    EXPECT_FALSE(over.dialog->test()->asking());
    ASSERT_EQ(over.messages.messages.size(), 1u);
    EXPECT_EQ(over.messages.messages[0].text, "Port: The port is a whole number from 1 to 65535.");
}

TEST(ServersDialog, ASaveRefusedBecauseTheFileChangedKeepsTheEditsUntilMadeInTheNewFile) {
    DialogOverFile over(kServersFile);
    over.dialog->SetServer(1, ServerOf("Bravo", "192.0.2.99", "28961", "two"));
    const std::string byHand = "; edited by hand meanwhile\n" + kServersFile;
    over.file.Write(byHand);

    {
        ModalScript script({Press(QMessageBox::No)});
        over.dialog->accept();
        EXPECT_EQ(script.shown(), 1) << "the change is said, and a way on offered";
    }
    EXPECT_FALSE(over.dialog->saved());
    EXPECT_NE(over.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FileText(over.file.path()), byHand);
    EXPECT_EQ(over.dialog->list()->topLevelItem(1)->text(1), "192.0.2.99") << "the edit stays";

    {
        ModalScript script({Press(QMessageBox::Yes)});
        over.dialog->accept();
    }
    EXPECT_TRUE(over.dialog->saved());
    std::string expected = byHand;
    expected.replace(expected.find("192.0.2.2"), 9, "192.0.2.99");
    EXPECT_EQ(FileText(over.file.path()), expected) << "the hand edit stays too";
}

TEST(ServersDialog, ASaveThatCannotBeWrittenIsSaidAndKeepsTheEdits) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "quarvel-no-such-folder" / "quarvel.cfg")
            .string();
    ConfigDocumentRead read = ConfigDocument::Read(path);
    ASSERT_TRUE(read.document.has_value()) << "a missing file reads as an empty one";
    CServersDlg dialog(std::move(*read.document), nullptr);
    MessageRecorder messages;
    dialog.SetMessageSink(&messages);
    dialog.AddServer(ServerOf("Alpha", "192.0.2.1", "28960", "one"));
    dialog.accept();
    EXPECT_FALSE(dialog.saved());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(messages.messages[0].text.starts_with("The servers were not saved. "))
        << messages.messages[0].text;
    EXPECT_NE(messages.messages[0].text.find(path), std::string::npos);
    EXPECT_EQ(dialog.list()->topLevelItemCount(), 1);
    EXPECT_TRUE(dialog.edits().changed());
}

} // namespace
