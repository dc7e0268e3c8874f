// quarvel-genlog: writes a generated game-server log.
//   quarvel-genlog OUTPUT BYTES [SEED]
#include "LogGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: quarvel-genlog OUTPUT BYTES [SEED]\n");
        return 2;
    }
    const auto bytes = std::strtoull(argv[2], nullptr, 10);
    const auto seed =
        argc == 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1u;
    if (!WriteGeneratedLog(argv[1], bytes, seed)) {
        std::fprintf(stderr, "quarvel-genlog: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
