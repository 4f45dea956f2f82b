// The program's pseudo-random source: the published 32-bit Mersenne Twister MT19937.
#pragma once

#include <cstdint>

// Increased by one on every HashTicks, so that equal tick counts still give different seeds.
extern uint32_t seedCounter;

class MtRandom {
public:
    // Seeds itself at construction (Seed).
    MtRandom();

    void Seed();
    // Seeds from 624 words of the file, or from the tick hash when it cannot give them all.
    void Seed(const wchar_t* entropyFile);
    void SeedFromArray(const uint32_t* words, int count);
    void SeedFromValue(uint32_t value);
    void Reload();
    uint32_t Next();
    uint32_t NextUpTo(uint32_t n);
    static uint32_t HashTicks(uint32_t p, uint32_t q);

private:
    static constexpr int kN = 624;
    static constexpr int kM = 397;

    // The single-value fill of the state, without its Reload.
    void FillFromValue(uint32_t value);

    uint32_t state[kN] = {};
    int next = 0;
    int left = 0;
};
