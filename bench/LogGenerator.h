#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Realistic game-server logs for the sample, the tests and the benchmarks:
// maps that start with InitGame and end with ShutdownGame, players that
// connect (ClientConnect, ClientUserinfoChanged with caret-coded names,
// ClientBegin), kill each other and the world, chat (say, sayteam, tell,
// admchat, admtalk, admtell), change names and teams, and leave, between
// ordinary lines. The same seed and size always give the same bytes.

// Calls `sink` with consecutive pieces of the log until at least
// `targetBytes` have been produced; the log always ends with a line end.
void GenerateLog(std::size_t targetBytes, std::uint32_t seed,
                 const std::function<void(std::string_view)>& sink);

std::string GenerateLog(std::size_t targetBytes, std::uint32_t seed);

// Writes a generated log to `path`. False when the file cannot be written.
bool WriteGeneratedLog(const std::string& path, std::size_t targetBytes, std::uint32_t seed);
