// The configuration reader over any bytes: values never pass their fields.
#include "AppConfig.h"
#include "FuzzCheck.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0; // an empty input cannot be opened
    }
    AppConfig config;
    config.LoadFrom(file);
    std::fclose(file);
    FUZZ_CHECK(config.databasePath.size() <= 79);
    for (const ServerEntry& server : config.servers) {
        FUZZ_CHECK(server.name.size() <= 39);
        FUZZ_CHECK(server.address.size() <= 39);
        FUZZ_CHECK(server.rconpass.size() <= 39);
    }
    return 0;
}
