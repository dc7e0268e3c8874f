// Reading a full server's `status`: 64 players with colour-coded names of
// various lengths, in both layouts the engines print, as the Servers panel
// reads it at every poll of every server.
#include "ServerStatus.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string Right(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string StatusOf64(bool ioquake3) {
    std::string text = "map: mp_carentan\n";
    text += ioquake3
                ? "cl score ping name            address                                 rate \n"
                  "-- ----- ---- --------------- --------------------------------------- -----\n"
                : "num score ping name            lastmsg address               qport rate\n"
                  "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
    for (int slot = 0; slot < 64; ++slot) {
        std::string name = "^" + std::to_string(slot % 10) + "Player ^7number " +
                           std::to_string(slot) + (slot % 3 == 0 ? " with a long tail" : "");
        const std::string address = "192.0.2." + std::to_string(slot) + ":27960";
        text += Right(std::to_string(slot), ioquake3 ? 2 : 3) + " " +
                Right(std::to_string(slot * 7), 5) + " " +
                (slot % 16 == 5 ? std::string("CNCT") : Right(std::to_string(slot * 3), 4)) + " ";
        name += std::string(name.size() < 20 ? 20 - name.size() : 1, ' ');
        if (ioquake3) {
            text += name + "^7" + address + std::string(40 - address.size(), ' ') + "25000\n";
        } else {
            text += name + "^7" + Right("0", 7) + " " + address +
                    std::string(22 - address.size(), ' ') + " 1234 25000\n";
        }
    }
    return text + "\n";
}

void ParseStatus64(benchmark::State& state) {
    const std::string text = StatusOf64(state.range(0) == 0);
    std::size_t players = 0;
    for (auto _ : state) {
        const ServerStatus status = ParseStatus(text);
        players = status.players.size();
        benchmark::DoNotOptimize(players);
    }
    if (players != 64) {
        state.SkipWithError("not every player was read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetLabel(state.range(0) == 0 ? "ioquake3" : "original");
}
BENCHMARK(ParseStatus64)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// IsWholeStatus runs at every datagram of an answer.
void WholeStatus64(benchmark::State& state) {
    const std::string text = StatusOf64(true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsWholeStatus(text));
    }
}
BENCHMARK(WholeStatus64)->Unit(benchmark::kMicrosecond);

} // namespace
