#pragma once

#include <optional>
#include <string>
#include <string_view>

// Replaces the file at `path` with `bytes` so that a reader, a crash or a
// full disk sees either the old file whole or the new one whole: a temporary
// file in the same folder, made 0600 whatever the umask, written, flushed to
// the disk, then renamed over the path, and the folder flushed. A symbolic
// link at `path` keeps pointing where it did: its target is replaced. Returns
// why it failed (one sentence naming the path), or an empty text.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

// The whole file, or nothing when there is none. `error` says why when the
// file is there but cannot be read, is not a regular file, or is larger than
// `limit` bytes.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t limit,
                                         std::string& error);
