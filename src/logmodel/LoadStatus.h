#pragma once

#include <cstdint>

// Where the load of a log stands. The numbers are those the line store has
// always reported (1, 0, -1, -2, -3); LoadStatusCode gives them back.
enum class LoadStatus : std::int32_t {
    NotLoaded = 1,      // no load asked for yet
    Loaded = 0,         // mapped and split
    OpenFailed = -1,    // the file could not be opened (or is no regular file)
    MappingFailed = -2, // it could not be mapped (an empty file among others)
    ViewFailed = -3,    // no room to map it in
};

constexpr std::int32_t LoadStatusCode(LoadStatus status) {
    return static_cast<std::int32_t>(status);
}
