#pragma once

#include "ScratchDatabase.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A benchmark's generated player databases: one per engine, made at first
// use by init-db's code and the given set-based statements (outside every
// timing), kept for the run. Forget them before main ends, while the
// database drivers are still there.
class GeneratedDatabases {
public:
    // The engine's database; null (with the reason in `skip`) when the
    // engine has no server.
    ScratchDatabase* Get(TestEngine engine, const std::vector<std::string>& fill,
                         std::string& skip) {
        auto& database = made_[engine];
        if (!database) {
            auto fresh = std::make_unique<ScratchDatabase>(engine);
            if (!fresh->skipReason().empty()) {
                skip = fresh->skipReason();
                return nullptr;
            }
            fresh->Create();
            fresh->Execute(fill);
            database = std::move(fresh);
        }
        return database.get();
    }

    void Forget() { made_.clear(); }

private:
    std::map<TestEngine, std::unique_ptr<ScratchDatabase>> made_;
};
