// Timing of the benchmarks: what one call costs, after a warm-up.
#pragma once

#include <chrono>
#include <cstdio>

using BenchClock = std::chrono::steady_clock;

// One figure for the summary of scripts/bench.sh: "figure <name> <value>".
inline void PrintFigure(const char* name, double value) { std::printf("figure %s %.2f\n", name, value); }

// Microseconds per call of `call`: the best of five rounds of `calls` calls,
// after a tenth as many to warm up. The best round is the one least disturbed
// by the rest of the machine; a difference of a few microseconds between two
// such figures is then the code's, not the scheduler's.
template <class F>
double MicrosecondsPerCall(int calls, F&& call) {
    for (int i = 0; i < calls / 10; ++i) call();
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        const auto start = BenchClock::now();
        for (int i = 0; i < calls; ++i) call();
        const double perCall = std::chrono::duration<double, std::micro>(BenchClock::now() - start).count() / calls;
        if (round == 0 || perCall < best) best = perCall;
    }
    return best;
}
