#include "BanStateChange.h"

#include "Commands.h"
#include "TextEscapes.h"

#include <cstdio>
#include <new>

int ChangeBanState(const std::string& location,
                   const std::function<BanChange(BanStates& states)>& change) {
    BanChange changed;
    try {
        BanStates states(location);
        changed = change(states);
        states.Close();
    } catch (const DatabaseError& failure) {
        PrintError("the ban state was not kept: " + std::string(failure.what()));
        return 1;
    }
    const std::string line = "Ban state: " + TerminalText(changed.text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return changed.kept() ? 0 : 1;
}
