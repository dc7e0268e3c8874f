#include "Arguments.h"
#include "Commands.h"
#include "PlayerSchema.h"

// quarvelctl init-db TARGET: the one way a player database comes to be; the
// program itself only ever opens an existing one.
int RunInitDb(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "init-db", error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? "init-db takes one TARGET: a new SQLite file or a postgresql:// URI"
                        : error);
        return 2;
    }
    if (!InitPlayerDatabase(args->positional().front(), error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}
