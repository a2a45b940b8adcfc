#pragma once

#include <QString>
#include <benchmark/benchmark.h>

namespace convodesk::bench {

// The yardstick of the reader benchmarks: each iteration read()s the whole file at `path`,
// 1 MiB at a time, into a buffer it does not look at.
void timePlainRead(benchmark::State& state, const QString& path);

} // namespace convodesk::bench
