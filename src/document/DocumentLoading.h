#pragma once

#include <cstdint>

// How a document loads a large log in slices (see CQuarvelDoc::loading).

// What the open splits at once: a log of this size or less is ready as the
// open returns, and its first view classifies it in one go.
inline constexpr std::int64_t kFirstLoadPartBytes = 4 << 20;
// What each slice splits at most.
inline constexpr std::int64_t kLoadSliceBytes = 8 << 20;
// Lines classified between two looks at the clock.
inline constexpr int kLoadSliceLines = 20'000;
// How long a slice works before the event loop turns: well under the
// 100 ms a user sees as a stall, with the views' repaint after it.
inline constexpr int kLoadSliceMs = 30;
