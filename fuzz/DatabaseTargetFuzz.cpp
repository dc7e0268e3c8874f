// The database target parser over any text: a target is either refused with
// a reason or names an engine; a PostgreSQL target never carries a password.
#include "DatabaseTarget.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view location(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto target = ParseDatabaseTarget(location, error);
    if (!target) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    if (target->engine == DatabaseTarget::Engine::Postgres) {
        FUZZ_CHECK(location.starts_with(DatabaseTarget::kUriScheme));
        for (const auto& option : target->options) {
            FUZZ_CHECK(option.first != "password");
            FUZZ_CHECK(IsSupportedPostgresOption(option.first));
        }
    } else {
        FUZZ_CHECK(!target->file.empty());
    }
    return 0;
}
