// Repeated work measured for leaks: warm-up runs first (heaps and caches
// reach their working size), then the measured runs, after which the
// process's resources must be where they were (see process_resources.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "support/process_resources.h"

// A count set by an environment variable, for long runs; fallback when unset.
inline int Configured(const char* variable, int fallback) {
    const char* configured = std::getenv(variable);
    return configured != nullptr ? std::atoi(configured) : fallback;
}

inline int SoakRounds(int defaultRounds) { return Configured("NOLV_SOAK_ROUNDS", defaultRounds); }

// What the process gained over `times` runs of step, after `warmUps` runs.
// Stops early once an assertion has failed fatally.
inline ProcessResources GrowthOver(int warmUps, int times, const std::function<void()>& step) {
    for (int i = 0; i < warmUps; ++i) step();
    const int threads = OwnThreads();
    DWORD waited = 0;
    const ProcessResources before = SettledResources(threads, 0, &waited);
    for (int i = 0; i < times && !::testing::Test::HasFatalFailure(); ++i) step();
    // Read once the platform's idle workers started meanwhile have ended.
    const ProcessResources after = SettledResources(threads, 20000, &waited);
    if (waited >= 100) std::printf("waited %lu ms for the platform's extra threads to end\n", waited);
    return Growth(before, after);
}

// A soak: one warm-up round, then NOLV_SOAK_ROUNDS rounds (the given
// default when unset). Prints what it measured.
inline void ExpectFlatOverSoak(const std::function<void()>& round, int defaultRounds,
                               int callsPerRound) {
    const int rounds = SoakRounds(defaultRounds);
    const ProcessResources growth = GrowthOver(1, rounds, round);
    ExpectNoLeak(growth, 512 * 1024);
    std::printf("%d calls; %s\n", rounds * callsPerRound, Describe(growth).c_str());
}
