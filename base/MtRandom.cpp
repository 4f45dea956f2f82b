#include "base/MtRandom.h"

#include <windows.h>

#include <cstdio>

uint32_t seedCounter = 0;

namespace {

constexpr uint32_t kMatrixA = 0x9908B0DFu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;

// One step of the recurrence: the upper bit of one word joined to the lower bits of the next.
uint32_t Twist(uint32_t word, uint32_t nextWord) {
    const uint32_t y = (word & kUpperMask) | (nextWord & kLowerMask);
    return (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
}

}  // namespace

MtRandom::MtRandom() {
    Seed();
}

void MtRandom::Seed() {
    Seed(L"/dev/urandom");
}

void MtRandom::Seed(const wchar_t* entropyFile) {
    uint32_t words[kN];
    int count = 0;
    if (FILE* file = entropyFile ? _wfopen(entropyFile, L"rb") : nullptr) {
        while (count < kN && fread(&words[count], sizeof(uint32_t), 1, file) == 1) {
            ++count;
        }
        fclose(file);
    }
    if (count == kN) {
        SeedFromArray(words, kN);
        return;
    }
    const uint32_t first = GetTickCount();
    const uint32_t second = GetTickCount();
    SeedFromValue(HashTicks(second, first));
}

void MtRandom::SeedFromArray(const uint32_t* words, int count) {
    FillFromValue(19650218u);
    if (!words || count <= 0) {
        // Nothing to mix in: the array seeding of no words would read past the array.
        Reload();
        return;
    }
    int i = 1;
    int j = 0;
    for (int k = kN > count ? kN : count; k > 0; --k) {
        state[i] = (state[i] ^ ((state[i - 1] ^ (state[i - 1] >> 30)) * 1664525u)) + words[j] +
                   static_cast<uint32_t>(j);
        ++i;
        ++j;
        if (i >= kN) {
            state[0] = state[kN - 1];
            i = 1;
        }
        if (j >= count) {
            j = 0;
        }
    }
    for (int k = kN - 1; k > 0; --k) {
        state[i] = (state[i] ^ ((state[i - 1] ^ (state[i - 1] >> 30)) * 1566083941u)) -
                   static_cast<uint32_t>(i);
        ++i;
        if (i >= kN) {
            state[0] = state[kN - 1];
            i = 1;
        }
    }
    state[0] = 0x80000000u;
    Reload();
}

void MtRandom::SeedFromValue(uint32_t value) {
    FillFromValue(value);
    Reload();
}

void MtRandom::FillFromValue(uint32_t value) {
    state[0] = value;
    for (int i = 1; i < kN; ++i) {
        state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + static_cast<uint32_t>(i);
    }
}

void MtRandom::Reload() {
    int k = 0;
    for (; k < kN - kM; ++k) {
        state[k] = state[k + kM] ^ Twist(state[k], state[k + 1]);
    }
    for (; k < kN - 1; ++k) {
        state[k] = state[k + kM - kN] ^ Twist(state[k], state[k + 1]);
    }
    state[kN - 1] = state[kM - 1] ^ Twist(state[kN - 1], state[0]);
    left = kN;
    next = 0;
}

uint32_t MtRandom::Next() {
    if (left == 0) {
        Reload();
    }
    --left;
    uint32_t y = state[next++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

uint32_t MtRandom::NextUpTo(uint32_t n) {
    uint32_t mask = n;
    mask |= mask >> 1;
    mask |= mask >> 2;
    mask |= mask >> 4;
    mask |= mask >> 8;
    mask |= mask >> 16;
    uint32_t value;
    do {
        value = Next() & mask;
    } while (value > n);
    return value;
}

uint32_t MtRandom::HashTicks(uint32_t p, uint32_t q) {
    auto hashBytes = [](uint32_t ticks) {
        uint32_t h = 0;
        for (int i = 0; i < 4; ++i) {
            h = h * 257u + ((ticks >> (8 * i)) & 0xFFu);
        }
        return h;
    };
    const uint32_t seed = (hashBytes(p) + seedCounter) ^ hashBytes(q);
    ++seedCounter;
    return seed;
}
