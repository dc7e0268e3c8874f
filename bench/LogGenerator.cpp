#include "LogGenerator.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

// A small deterministic generator (xorshift64*): standard distributions differ
// between library versions, and the sample must not.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(0x9E3779B97F4A7C15ULL ^ seed) {}
    std::uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1DULL;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, std::size_t N> const T& Pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
    }

private:
    std::uint64_t state_;
};

constexpr std::array<const char*, 24> kBaseNames = {
    "Bob",   "Bobby", "Alice",  "Sam",   "Viper",  "Ghost",  "Nomad",  "Raven",
    "Hawk",  "Dutch", "Sniper", "Medic", "Tango",  "Ozzy",   "Kilo",   "Frost",
    "Blaze", "Mamba", "Rook",   "Jinx",  "O'Neil", "Pipe|x", "<Boss>", "Zoe&Co"};
constexpr std::array<const char*, 12> kMeans = {"MOD_M4_ASSAULT_RIFLE",
                                                "MOD_AK74_ASSAULT_RIFLE",
                                                "MOD_USAS_12_SHOTGUN",
                                                "MOD_MSG90A1_SNIPER",
                                                "MOD_M590_SHOTGUN",
                                                "MOD_MICRO_UZI_SUBMACHINEGUN",
                                                "MOD_MP5",
                                                "MOD_KNIFE",
                                                "MOD_M67_GRENADE",
                                                "MOD_SIG551",
                                                "MOD_M60_MACHINEGUN",
                                                "MOD_M1911A1_PISTOL"};
constexpr std::array<const char*, 16> kChat = {"gg",
                                               "nice shot",
                                               "lol",
                                               "anyone up for a rematch?",
                                               "camping again",
                                               "rush B",
                                               "need ammo",
                                               "who is ^1Bob^7?",
                                               "brb",
                                               "^3gl ^5hf",
                                               "stop team killing",
                                               "map vote pls",
                                               "100% <cheat>",
                                               "ok & thanks",
                                               "\"quoted\" text",
                                               "ping 300 ^^ lag"};
constexpr std::array<const char*, 6> kMaps = {"mp_shop", "mp_hospital", "mp_train",
                                              "mp_snow", "mp_jor1",     "mp_kam2"};
constexpr std::array<const char*, 6> kIdentities = {
    "NPC_Sam/sam_gladstone", "NPC_Hawk/hawk_fatigue", "NPC_Taylor/taylor_urban",
    "NPC_Hawk/hawk_urban",   "NPC_Sam/sam_arctic",    "NPC_Taylor/taylor_desert"};
constexpr std::array<const char*, 8> kOrdinary = {"Item: %d pickup_health",
                                                  "Item: %d pickup_armor_big",
                                                  "score: %d  ping: 50  client: 3",
                                                  "Exit: Timelimit hit.",
                                                  "red:%d  blue:3",
                                                  "broadcast: print \"server restarting\"",
                                                  "Weapon_Stats: %d M4 25 3",
                                                  "Vote: %d map_restart"};

struct Player {
    bool present = false;
    std::string guid;
    std::string address;
    std::string name;
    int team = 0;
};

class Generator {
public:
    Generator(std::uint32_t seed) : random_(seed) {
        // A pool of returning players: each keeps its GUID between maps and
        // usually its address.
        for (int i = 0; i < 48; ++i) {
            Player p;
            for (int k = 0; k < 32; ++k) {
                p.guid += "0123456789ABCDEF"[random_.Below(16)];
            }
            // Octets drawn last first, as everywhere an address is made.
            const int fourth = random_.Below(254) + 1;
            const int third = random_.Below(256);
            const int second = random_.Below(256);
            const int first = random_.Below(223) + 1;
            p.address = std::to_string(first) + "." + std::to_string(second) + "." +
                        std::to_string(third) + "." + std::to_string(fourth);
            p.name = MakeName();
            pool_.push_back(p);
        }
    }

    void Run(std::size_t targetBytes, const std::function<void(std::string_view)>& sink) {
        std::size_t written = 0;
        while (written < targetBytes) {
            out_.clear();
            Map();
            written += out_.size();
            sink(out_);
        }
    }

private:
    std::string MakeName() {
        std::string base = random_.Pick(kBaseNames);
        switch (random_.Below(8)) {
        case 0:
            return "^" + std::to_string(random_.Below(10)) + base;
        case 1:
            return "^1" + base.substr(0, 2) + "^7" + base.substr(2);
        case 2:
            return "^^" + base + "^^";
        case 3: {
            // Any byte may follow a caret, also one above 0x7F.
            std::string name = "^";
            name += static_cast<char>(0xA0 + random_.Below(0x5F));
            return name + base;
        }
        case 4:
            return base + "^";
        case 5:
            return "^4[^1Clan^4]^7" + base;
        default:
            return base;
        }
    }

    void Line(const std::string& event) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%4d:%02d ", clock_ / 60 % 10000, clock_ % 60);
        out_ += prefix;
        out_ += event;
        out_ += '\n';
        clock_ += random_.Below(4);
    }

    int RandomPresentSlot() {
        std::vector<int> present;
        for (int i = 0; i < 64; ++i) {
            if (slots_[static_cast<std::size_t>(i)].present) {
                present.push_back(i);
            }
        }
        return present.empty() ? -1
                               : present[static_cast<std::size_t>(
                                     random_.Below(static_cast<int>(present.size())))];
    }

    void UserinfoChanged(int slot) {
        const Player& p = slots_[static_cast<std::size_t>(slot)];
        Line("ClientUserinfoChanged: " + std::to_string(slot) + " n\\" + p.name + "\\t\\" +
             std::to_string(p.team) + "\\identity\\" + random_.Pick(kIdentities));
    }

    void Connect() {
        int slot = random_.Below(20);
        if (slots_[static_cast<std::size_t>(slot)].present) {
            return;
        }
        Player p = pool_[static_cast<std::size_t>(random_.Below(static_cast<int>(pool_.size())))];
        if (random_.Chance(15)) {
            // Drawn last octet first, the order the sample logs and golden
            // files were made in (operands of + have no order of their own,
            // and compilers differ).
            const int host = random_.Below(254) + 1;
            const int subnet = random_.Below(256);
            p.address = "10.0." + std::to_string(subnet) + "." + std::to_string(host);
        }
        p.present = true;
        p.team = random_.Below(4);
        slots_[static_cast<std::size_t>(slot)] = p;
        Line("ClientConnect: " + std::to_string(slot) + " - " + p.address + ":" +
             std::to_string(20000 + random_.Below(9000)) + " [" + p.guid + "]");
        UserinfoChanged(slot);
        Line("ClientBegin: " + std::to_string(slot));
    }

    void Event() {
        const int slot = RandomPresentSlot();
        if (slot < 0) {
            Connect();
            return;
        }
        Player& p = slots_[static_cast<std::size_t>(slot)];
        const int roll = random_.Below(100);
        if (roll < 30) {
            const int victim = RandomPresentSlot();
            const Player& v = slots_[static_cast<std::size_t>(victim)];
            const int means = random_.Below(static_cast<int>(kMeans.size()));
            if (random_.Chance(10)) {
                Line("Kill: 1022 " + std::to_string(victim) + " 24: <world> killed " + v.name +
                     " by MOD_FALLING");
            } else {
                Line("Kill: " + std::to_string(slot) + " " + std::to_string(victim) + " " +
                     std::to_string(means + 1) + ": " + p.name + " killed " + v.name + " by " +
                     kMeans[static_cast<std::size_t>(means)]);
            }
        } else if (roll < 45) {
            Line("say: " + p.name + ": " + random_.Pick(kChat));
        } else if (roll < 52) {
            Line("sayteam: " + p.name + ": " + random_.Pick(kChat));
        } else if (roll < 56) {
            const Player& to = slots_[static_cast<std::size_t>(RandomPresentSlot())];
            Line("tell: " + p.name + " to " + to.name + ": " + random_.Pick(kChat));
        } else if (roll < 58) {
            const char* const said = random_.Pick(kChat);
            Line(std::string(random_.Chance(50) ? "admchat: " : "admtalk: ") + p.name + ": " +
                 said);
        } else if (roll < 59) {
            const Player& to = slots_[static_cast<std::size_t>(RandomPresentSlot())];
            Line("admtell: " + p.name + " to " + to.name + ": " + random_.Pick(kChat));
        } else if (roll < 62) {
            if (random_.Chance(50)) {
                p.name = MakeName();
            } else {
                p.team = random_.Below(4);
            }
            UserinfoChanged(slot);
        } else if (roll < 66) {
            p.present = false;
            Line("ClientDisconnect: " + std::to_string(slot));
        } else if (roll < 72) {
            Connect();
        } else {
            char text[96];
            const int number = random_.Below(64);
            std::snprintf(text, sizeof text, random_.Pick(kOrdinary), number);
            Line(text);
        }
    }

    void Map() {
        clock_ = 0;
        for (Player& p : slots_) {
            p.present = false;
        }
        Line("------------------------------------------------------------");
        Line(std::string("InitGame: \\sv_hostname\\^1Jor ^7Public\\g_gametype\\inf\\mapname\\") +
             random_.Pick(kMaps) + "\\sv_maxclients\\20\\version\\SOF2MP V1.03");
        const int players = 4 + random_.Below(12);
        for (int i = 0; i < players; ++i) {
            Connect();
        }
        const int events = 200 + random_.Below(600);
        for (int i = 0; i < events; ++i) {
            Event();
        }
        Line("ShutdownGame:");
    }

    Random random_;
    std::vector<Player> pool_;
    std::array<Player, 64> slots_{};
    std::string out_;
    int clock_ = 0;
};

} // namespace

void GenerateLog(std::size_t targetBytes, std::uint32_t seed,
                 const std::function<void(std::string_view)>& sink) {
    Generator(seed).Run(targetBytes, sink);
}

std::string GenerateLog(std::size_t targetBytes, std::uint32_t seed) {
    std::string log;
    log.reserve(targetBytes + (1u << 16));
    GenerateLog(targetBytes, seed, [&log](std::string_view piece) { log += piece; });
    return log;
}

bool WriteGeneratedLog(const std::string& path, std::size_t targetBytes, std::uint32_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    GenerateLog(targetBytes, seed, [&out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    });
    return static_cast<bool>(out.flush());
}
