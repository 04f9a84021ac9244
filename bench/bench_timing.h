// Timing of the benchmarks: what one call costs, after a warm-up.
#pragma once

#include <chrono>
#include <cstdio>

using BenchClock = std::chrono::steady_clock;

// One figure for the summary of scripts/bench.sh: "figure <name> <value>".
inline void PrintFigure(const char* name, double value) { std::printf("figure %s %.2f\n", name, value); }

// Microseconds per call of `call`, over `calls` calls after a tenth as many to warm up.
template <class F>
double MicrosecondsPerCall(int calls, F&& call) {
    for (int i = 0; i < calls / 10; ++i) call();
    const auto start = BenchClock::now();
    for (int i = 0; i < calls; ++i) call();
    return std::chrono::duration<double, std::micro>(BenchClock::now() - start).count() / calls;
}
