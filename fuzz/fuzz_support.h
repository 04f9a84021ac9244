// The check of every fuzz target: a property that no input may break.
#pragma once

#include <cstdio>
#include <cstdlib>

// A property that must hold for every input: when it does not, the input is a
// finding, reported with `what`.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
