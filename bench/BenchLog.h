#pragma once

#include <cstdint>
#include <string>

// The generated log the benchmarks read: QUARVEL_BENCH_LOG names an existing
// file to use; otherwise a 200 MB log is generated once into the temporary
// folder and reused by later runs.
const std::string& BenchLogPath();
std::int64_t BenchLogBytes();

// A generated log of `megabytes` MiB (seed 7) in the temporary folder, made
// once and reused: the window's benchmarks open it.
std::string GeneratedLogOf(std::int64_t megabytes);
