#pragma once

#include <cstddef>

// Keeps read-only file mappings readable after their file shrinks. A game
// server may truncate or rotate its log while it is open here; reading a
// mapped page that lies past the new end of the file raises SIGBUS. The guard
// installs one SIGBUS handler for the process; for a fault inside a registered
// mapping it maps zero-filled pages over the rest of that mapping and lets the
// read run again. Faults elsewhere go to the handler that was there before.
//
// The registry has to be process-wide: a signal handler has no other way to
// reach it. It holds a fixed number of slots and takes no locks, so the
// handler may read it at any moment.
namespace truncation_guard {

// Registers [begin, begin + length). Returns false when every slot is taken:
// the mapping then works unguarded.
bool Register(const void* begin, std::size_t length);
void Unregister(const void* begin);

} // namespace truncation_guard
