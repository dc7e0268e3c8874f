// The configuration reader and the document that writes it back, over any
// bytes: values never pass their fields and every value taken keeps its
// rules; the document gives back the bytes it was given, and a server it
// adds is read back as it was written.
#include "AppConfig.h"
#include "ConfigDocument.h"
#include "FuzzCheck.h"

#include <cstdio>
#include <iterator>
#include <string>

namespace {

AppConfig ReadConfig(const std::uint8_t* data, std::size_t size) {
    AppConfig config;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file != nullptr) { // an empty input cannot be opened
        config.LoadFrom(file);
        std::fclose(file);
    }
    return config;
}

void CheckTakenValues(const AppConfig& config) {
    FUZZ_CHECK(config.databasePath.size() <= kDatabaseValueLimit);
    for (const ServerEntry& server : config.servers) {
        FUZZ_CHECK(server.name.size() <= kServerTextLimit);
        FUZZ_CHECK(server.address.size() <= kServerTextLimit);
        FUZZ_CHECK(server.rconpass.size() <= kServerTextLimit);
        FUZZ_CHECK(server.address.empty() || IsServerAddress(server.address));
        FUZZ_CHECK(server.log.size() <= kLogPathLimit);
        FUZZ_CHECK(server.poll >= kShortestPollSeconds && server.poll <= kLongestPollSeconds);
        for (const ServerCommand command : kServerCommands) {
            FUZZ_CHECK(CheckCommandTemplate(command, server.commands.Template(command)).empty());
        }
    }
    std::size_t previous = 0;
    for (const ConfigRefusal& refusal : config.refusals) {
        FUZZ_CHECK(refusal.line > previous);
        previous = refusal.line;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AppConfig config = ReadConfig(data, size);
    CheckTakenValues(config);

    const std::string text(reinterpret_cast<const char*>(data), size);
    ConfigDocument document(text);
    FUZZ_CHECK(document.Text() == text);
    const std::size_t blocks = document.Servers().size();
    FUZZ_CHECK(static_cast<std::size_t>(
                   std::distance(config.servers.begin(), config.servers.end())) <= blocks);

    // A server added after the others is the last block: the head of the list.
    FUZZ_CHECK(
        document
            .AddServer(
                blocks,
                {{"name", "Added"}, {"address", "10.0.0.1"}, {"port", "28960"}, {"rconpass", "pw"}})
            .ok());
    FUZZ_CHECK(document.Servers().size() == blocks + 1);
    const std::string edited = document.Text();
    const AppConfig reread =
        ReadConfig(reinterpret_cast<const std::uint8_t*>(edited.data()), edited.size());
    FUZZ_CHECK(!reread.servers.empty());
    const ServerEntry& added = reread.servers.front();
    FUZZ_CHECK(added.name == "Added" && added.address == "10.0.0.1" && added.port == 28960 &&
               added.rconpass == "pw");
    FUZZ_CHECK(reread.refusals.size() == config.refusals.size());

    FUZZ_CHECK(document.RemoveServer(document.Servers().back().ref()).ok());
    FUZZ_CHECK(document.Servers().size() == blocks);
    return 0;
}
