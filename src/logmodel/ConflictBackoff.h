#pragma once

#include <chrono>
#include <random>
#include <thread>

// The wait of a writer whose transaction the engine gave up for another
// writer's sake (DatabaseError::Fault::Conflict) before it tries again: a few
// milliseconds, more with every attempt, and different for each writer, so
// that writers that collided do not collide again at once. The harvest's
// steps and the ban states' changes both wait so.
class ConflictBackoff {
public:
    // How often such a transaction is tried in all.
    static constexpr int kAttempts = 8;

    // Waits before attempt `attempt` + 1 (attempt counts from 1).
    void Wait(int attempt) {
        std::uniform_int_distribution<int> spread(0, 10 * attempt);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt + spread(jitter_)));
    }

private:
    std::minstd_rand jitter_{std::random_device{}()};
};
