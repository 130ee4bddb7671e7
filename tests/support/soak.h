// A soak: one warm-up round (heaps and caches reach their working size),
// then NOLV_SOAK_ROUNDS rounds (the given default when unset), after which
// the process's resources must be where they were (see process_resources.h).
// Prints what it measured.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "support/process_resources.h"

inline int SoakRounds(int defaultRounds) {
    const char* configured = std::getenv("NOLV_SOAK_ROUNDS");
    return configured != nullptr ? std::atoi(configured) : defaultRounds;
}

inline void ExpectFlatOverSoak(const std::function<void()>& round, int defaultRounds,
                               int callsPerRound) {
    const int rounds = SoakRounds(defaultRounds);
    round();
    const ProcessResources before = CurrentResources();
    for (int i = 0; i < rounds; ++i) round();
    const ProcessResources growth = Growth(before, CurrentResources());
    ExpectNoLeak(growth, 512 * 1024);
    std::printf("%d calls; %s\n", rounds * callsPerRound, Describe(growth).c_str());
}
