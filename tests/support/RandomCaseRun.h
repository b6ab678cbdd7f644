#pragma once
// A run of checks over seeded random parse cases that stops after three
// mismatches, so that one fault does not bury the output under thousands.

#include "support/RandomParseCase.h"

#include <gtest/gtest.h>

// Checks up to nCases cases of a generator seeded with nSeed. check(i, c)
// reports a mismatch of case number i itself and returns false for it.
template <class FCheck>
void CheckRandomCases(unsigned nSeed, int nCases, FCheck check)
{
    CParseCaseGenerator generator(nSeed);
    int nMismatches = 0;
    for (int i = 0; i < nCases && nMismatches < 3; ++i) {
        if (!check(i, generator.Next()))
            ++nMismatches;
    }
    EXPECT_EQ(nMismatches, 0);
}
