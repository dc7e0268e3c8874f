#include "ConfigDocument.h"

#include "../logmodel/TempFile.h"
#include "AppConfig.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kFile = "; Quarvel servers\r\n"
                          "\r\n"
                          "[server]\r\n"
                          "  Name = Public\r\n"
                          "address=1.2.3.4\r\n"
                          "rconpass = old\r\n"
                          "color=blue\r\n"
                          "\r\n"
                          "; the clan server\r\n"
                          "[server]\r\n"
                          "name=Clan\r\n"
                          "[plugins]\r\n"
                          "x=1\r\n"
                          "\r\n"
                          "[database]\r\n"
                          "file=players.sqlite"; // no final line end

ServerRef RefOf(const ConfigDocument& document, std::size_t index) {
    return document.Servers().at(index).ref();
}

TEST(ConfigDocument, GivesBackTheBytesItRead) {
    const ConfigDocument document(kFile);
    EXPECT_EQ(document.Text(), kFile);
    const auto servers = document.Servers();
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].line, 3u);
    EXPECT_EQ(servers[0].Value("NAME"), "Public");
    EXPECT_EQ(servers[0].Value("rconpass"), "old");
    EXPECT_EQ(servers[1].Value("x"), "1") << "an unknown header does not end a block";
    EXPECT_EQ(document.DatabaseFile(), "players.sqlite");
}

struct EditCase {
    const char* name;
    std::function<ConfigEdit(ConfigDocument&)> edit;
    std::string text; // the whole file after the edit (CR LF written "\n" here)
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return out;
}

class ConfigDocumentEdit : public testing::TestWithParam<EditCase> {};

TEST_P(ConfigDocumentEdit, ChangesOnlyWhatItIsAskedTo) {
    ConfigDocument document(kFile);
    const ConfigEdit edit = GetParam().edit(document);
    EXPECT_TRUE(edit.ok()) << edit.error;
    std::string expected = Crlf(GetParam().text);
    EXPECT_EQ(document.Text(), expected);
}

const std::string kHead = "; Quarvel servers\n\n";
const std::string kPublic = "[server]\n  Name = Public\naddress=1.2.3.4\nrconpass = old\n"
                            "color=blue\n";
const std::string kClan = "; the clan server\n[server]\nname=Clan\n[plugins]\nx=1\n";
const std::string kTail = "\n[database]\nfile=players.sqlite";

INSTANTIATE_TEST_SUITE_P(
    Edits, ConfigDocumentEdit,
    testing::Values(
        EditCase{"SetKeepsTheKeyAndItsBlanks",
                 [](ConfigDocument& d) { return d.SetServerValue(RefOf(d, 0), "RCONPASS", "new"); },
                 kHead +
                     "[server]\n  Name = Public\naddress=1.2.3.4\nrconpass = new\ncolor=blue\n\n" +
                     kClan + kTail},
        EditCase{"SetAddsAMissingKeyAfterTheLastKey",
                 [](ConfigDocument& d) { return d.SetServerValue(RefOf(d, 1), "port", "28960"); },
                 kHead + kPublic + "\n" +
                     "; the clan server\n[server]\nname=Clan\n[plugins]\nx=1\nport=28960\n" +
                     kTail},
        EditCase{"RemoveValue",
                 [](ConfigDocument& d) { return d.RemoveServerValue(RefOf(d, 0), "address"); },
                 kHead + "[server]\n  Name = Public\nrconpass = old\ncolor=blue\n\n" + kClan +
                     kTail},
        EditCase{"RemoveTheFirstServer",
                 [](ConfigDocument& d) { return d.RemoveServer(RefOf(d, 0)); },
                 kHead + kClan + kTail},
        EditCase{"RemoveAServerWithItsComment",
                 [](ConfigDocument& d) { return d.RemoveServer(RefOf(d, 1)); },
                 kHead + kPublic + kTail},
        EditCase{"AddFirst",
                 [](ConfigDocument& d) {
                     return d.AddServer(0, {{"name", "New"}, {"address", "host.example.org"}});
                 },
                 kHead + "[server]\nname=New\naddress=host.example.org\n\n" + kPublic + "\n" +
                     kClan + kTail},
        EditCase{"AddLast",
                 [](ConfigDocument& d) {
                     return d.AddServer(2, {{"name", "New"}});
                 },
                 kHead + kPublic + "\n" + kClan + "\n[server]\nname=New\n" + kTail},
        EditCase{"DatabaseFile",
                 [](ConfigDocument& d) { return d.SetDatabaseFile("postgresql://q@db/q"); },
                 kHead + kPublic + "\n" + kClan + "\n[database]\nfile=postgresql://q@db/q"}),
    [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

TEST(ConfigDocument, BuildsAFileFromNothing) {
    ConfigDocument document("");
    ASSERT_TRUE(document.AddServer(0, {{"name", "A"}, {"port", "1"}}).ok());
    ASSERT_TRUE(document.AddServer(1, {{"name", "B"}}).ok());
    ASSERT_TRUE(document.SetDatabaseFile("p.sqlite").ok());
    EXPECT_EQ(document.Text(),
              "[server]\nname=A\nport=1\n\n[server]\nname=B\n\n[database]\nfile=p.sqlite\n");
    ASSERT_TRUE(document.RemoveServer(RefOf(document, 1)).ok());
    ASSERT_TRUE(document.RemoveDatabaseFile().ok());
    EXPECT_EQ(document.Text(), "[server]\nname=A\nport=1\n\n[database]\n");
    EXPECT_EQ(document.DatabaseFile(), std::nullopt);
}

TEST(ConfigDocument, RefusesWhatTheReaderWouldNotReadBack) {
    ConfigDocument document(kFile);
    const ServerRef publicServer = RefOf(document, 0);
    const std::pair<std::pair<const char*, std::string>, const char*> refused[] = {
        {{"address", "::1"}, "\"address\" is neither a dotted IPv4 address nor a host name."},
        {{"name", std::string(40, 'n')}, "The value of \"name\" is longer than 39 characters."},
        {{"poll", "0"}, "\"poll\" takes a whole number of seconds from 1 to 3600."},
        {{"rconpass", "a\nb"}, "The value of \"rconpass\" cannot hold a line break."},
        {{"rconpass", " a"}, "The value of \"rconpass\" cannot start or end with a blank."},
        {{"rconpass", ""}, "The value of \"rconpass\" cannot be empty."},
        {{"a=b", "c"}, "A key is made of letters, digits, \"_\", \"-\" and \".\"."},
    };
    for (const auto& [value, error] : refused) {
        EXPECT_EQ(document.SetServerValue(publicServer, value.first, value.second).error, error);
        EXPECT_EQ(document.AddServer(0, {{"name", "X"}, value}).error, error);
    }
    EXPECT_EQ(document.SetDatabaseFile(std::string(1001, 'f')).error,
              "The value of \"file\" is longer than 1000 characters.");
    EXPECT_EQ(document.Text(), kFile);
}

TEST(ConfigDocument, RefusesAServerThatIsNoLongerWhereItWas) {
    ConfigDocument document(kFile);
    const ServerRef clan = RefOf(document, 1);
    ASSERT_TRUE(document.RemoveServer(RefOf(document, 0)).ok());
    const std::string text = document.Text();
    const char* stale = "The server is no longer where it was in the configuration; read it again.";
    EXPECT_EQ(document.RemoveServer(clan).error, stale);
    EXPECT_EQ(document.SetServerValue({0, "Public"}, "port", "1").error, stale);
    EXPECT_EQ(document.Text(), text);
    EXPECT_TRUE(document.RemoveServer(RefOf(document, 0)).ok());
}

// What the document writes, the reader reads: comments and unknown keys
// stay, the new values are taken.
TEST(ConfigDocument, IsReadBackAsWritten) {
    TempFile file(kFile, ".cfg");
    auto read = ConfigDocument::Read(file.path());
    ASSERT_TRUE(read.document) << read.error;
    ConfigDocument& document = *read.document;
    ASSERT_TRUE(document.SetServerValue(RefOf(document, 1), "kick", "kick {slot}").ok());
    ASSERT_TRUE(document.AddServer(2, {{"name", "Third"}, {"poll", "9"}}).ok());
    const mode_t before = umask(0);
    const ConfigEdit saved = document.Save();
    umask(before);
    ASSERT_TRUE(saved.ok()) << saved.error;

    struct stat info {};
    ASSERT_EQ(stat(file.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    AppConfig config;
    config.path = file.path();
    ASSERT_TRUE(config.Load());
    std::vector<std::string> names;
    for (const ServerEntry& server : config.servers) {
        names.push_back(server.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Third", "Clan", "Public"}));
    EXPECT_EQ(config.servers.front().poll, 9);
    EXPECT_EQ(std::next(config.servers.begin())->commands.kick, "kick {slot}");
    EXPECT_EQ(config.databasePath, "players.sqlite");
    const auto again = ConfigDocument::Read(file.path());
    ASSERT_TRUE(again.document);
    EXPECT_EQ(again.document->Text(), document.Text());
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(file.path()).parent_path())) {
        EXPECT_EQ(entry.path().filename().string().find(
                      "." + std::filesystem::path(file.path()).filename().string() + "."),
                  std::string::npos)
            << "no temporary file is left";
    }
}

TEST(ConfigDocument, SavingRefusesAFileChangedMeanwhile) {
    TempFile file("[server]\nname=A\n", ".cfg");
    auto read = ConfigDocument::Read(file.path());
    ASSERT_TRUE(read.document);
    ASSERT_TRUE(read.document->SetServerValue(RefOf(*read.document, 0), "port", "1").ok());
    file.Write("[server]\nname=A\n; edited by hand\n");
    EXPECT_EQ(read.document->Save().error,
              "The configuration file " + file.path() +
                  " has changed since it was read; read it again and make the change anew.");
}

TEST(ConfigDocument, SavingMakesAMissingFileAndKeepsALink) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("quarvel-doc-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "quarvel.cfg").string();
    auto read = ConfigDocument::Read(path);
    ASSERT_TRUE(read.document) << read.error;
    ASSERT_TRUE(read.document->AddServer(0, {{"name", "A"}}).ok());
    ASSERT_TRUE(read.document->Save().ok());
    std::filesystem::create_symlink(path, folder / "link.cfg");
    auto linked = ConfigDocument::Read((folder / "link.cfg").string());
    ASSERT_TRUE(linked.document);
    ASSERT_TRUE(linked.document->SetServerValue(RefOf(*linked.document, 0), "port", "2").ok());
    ASSERT_TRUE(linked.document->Save().ok());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.cfg"));
    const auto reread = ConfigDocument::Read(path);
    EXPECT_EQ(reread.document->Text(), "[server]\nname=A\nport=2\n");
    EXPECT_FALSE(ConfigDocument::Read(folder.string()).document) << "a folder is no file";
    std::filesystem::remove_all(folder);
}

} // namespace
