// A soak: one warm-up round (heaps and caches reach their working size),
// then NOLV_SOAK_ROUNDS rounds (the given default when unset), after which
// the commit charge, handle count and window-system objects must be where
// they were. Prints what it measured.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "support/process_memory.h"

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
    const ProcessResources after = CurrentResources();
    const long long grown = static_cast<long long>(after.commitCharge) - static_cast<long long>(before.commitCharge);
    EXPECT_LT(grown, 512 * 1024) << "commit charge grew by " << grown;
    EXPECT_LE(after.handles, before.handles + 2);
    EXPECT_LE(after.userObjects, before.userObjects);
    EXPECT_LE(after.gdiObjects, before.gdiObjects);
    std::printf("%d calls; commit charge %+lld bytes, handles %+ld\n", rounds * callsPerRound, grown,
                static_cast<long>(after.handles) - static_cast<long>(before.handles));
}
