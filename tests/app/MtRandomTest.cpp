#include "app/MtRandom.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(MtRandom, SingleValueSeedingGivesThePublishedFirstOutput) {
    MtRandom random;
    random.SeedFromValue(5489);
    EXPECT_EQ(3499211612u, random.Next());
}

// The reference outputs of mt19937ar.out, seeded with init_by_array({0x123, 0x234, 0x345, 0x456}).
TEST(MtRandom, ArraySeedingGivesThePublishedSequence) {
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    MtRandom random;
    random.SeedFromArray(key, 4);
    for (uint32_t expected : {1067595299u, 955945823u, 477289528u, 4107218783u, 4228976476u}) {
        EXPECT_EQ(expected, random.Next());
    }
    // On past the state's regeneration at the 625th output, to the 1000th.
    for (int i = 6; i < 1000; ++i) {
        random.Next();
    }
    EXPECT_EQ(3460025646u, random.Next());
}

TEST(MtRandom, ArraySeedingWithoutWordsStillSeeds) {
    MtRandom empty;
    MtRandom none;
    empty.SeedFromArray(nullptr, 0);
    none.SeedFromArray(nullptr, -3);
    EXPECT_EQ(empty.Next(), none.Next());
}

// NextUpTo is checked against a twin generator seeded alike, which shows every raw word drawn.
TEST(MtRandomNextUpTo, FifteenNeverRejectsAndIsEven) {
    MtRandom random;
    MtRandom twin;
    random.SeedFromValue(1);
    twin.SeedFromValue(1);
    int counts[16] = {};
    for (int i = 0; i < 16000; ++i) {
        const uint32_t value = random.NextUpTo(15);
        ASSERT_EQ(twin.Next() & 15u, value);
        ++counts[value];
    }
    for (int count : counts) {
        EXPECT_NEAR(1000, count, 120);
    }
}

TEST(MtRandomNextUpTo, SixteenMasksWith31AndRejectsAbove) {
    MtRandom random;
    MtRandom twin;
    random.SeedFromValue(7);
    twin.SeedFromValue(7);
    int rejected = 0;
    for (int i = 0; i < 2000; ++i) {
        uint32_t expected;
        while ((expected = twin.Next() & 31u) > 16) {
            ++rejected;
        }
        ASSERT_EQ(expected, random.NextUpTo(16));
    }
    EXPECT_GT(rejected, 0);
    EXPECT_EQ(twin.Next(), random.Next());  // both consumed the same words
}

TEST(MtRandomNextUpTo, ZeroAndFullRangeTakeOneWordEach) {
    MtRandom random;
    MtRandom twin;
    random.SeedFromValue(11);
    twin.SeedFromValue(11);
    for (int i = 0; i < 700; ++i) {
        twin.Next();
        ASSERT_EQ(0u, random.NextUpTo(0));
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(twin.Next(), random.NextUpTo(0xFFFFFFFFu));
    }
}

TEST(MtRandomHashTicks, EqualTicksWithCounterZeroGiveZero) {
    seedCounter = 0;
    EXPECT_EQ(0u, MtRandom::HashTicks(123456789u, 123456789u));
    EXPECT_EQ(1u, seedCounter);
}

TEST(MtRandomHashTicks, FoldsBytesLowFirstAndAddsTheCounter) {
    // Bytes 04 03 02 01 folded by 257: ((4 * 257 + 3) * 257 + 2) * 257 + 1.
    const uint32_t folded = 68097034u;
    seedCounter = 0;
    EXPECT_EQ(folded, MtRandom::HashTicks(0x01020304u, 0));
    seedCounter = 5;
    EXPECT_EQ(5u ^ folded, MtRandom::HashTicks(0, 0x01020304u));
}

TEST(MtRandomHashTicks, CounterMakesEqualTicksDiffer) {
    seedCounter = 0;
    const uint32_t first = MtRandom::HashTicks(4242u, 4242u);
    const uint32_t second = MtRandom::HashTicks(4242u, 4242u);
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, seedCounter);
}

TEST(MtRandomSeed, FullEntropyFileSeedsByArray) {
    testsupport::TempDir dir;
    uint32_t words[624];
    for (int i = 0; i < 624; ++i) {
        words[i] = static_cast<uint32_t>(i) * 2654435761u + 12345u;
    }
    const std::wstring path =
        dir.WriteFile(L"entropy", std::string(reinterpret_cast<const char*>(words), sizeof(words)));
    seedCounter = 0;
    MtRandom random;
    random.Seed(path.c_str());
    EXPECT_EQ(0u, seedCounter);  // the tick hash was not used
    MtRandom expected;
    expected.SeedFromArray(words, 624);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(expected.Next(), random.Next());
    }
}

TEST(MtRandomSeed, MissingOrShortEntropyFileFallsBackToTicks) {
    testsupport::TempDir dir;
    const std::wstring shortFile = dir.WriteFile(L"short", std::string(623 * 4 + 3, '\x5A'));
    const std::wstring emptyFile = dir.WriteFile(L"empty", "");
    const std::wstring missing = dir.path() + L"missing";
    for (const std::wstring& path : {shortFile, emptyFile, missing}) {
        MtRandom random;
        const uint32_t before = seedCounter;
        random.Seed(path.c_str());
        EXPECT_EQ(before + 1, seedCounter) << path.c_str();
    }
}

TEST(MtRandomSeed, ConstructionPrefersDevUrandom) {
    FILE* probe = _wfopen(L"/dev/urandom", L"rb");
    const bool available = probe != nullptr;
    if (probe) {
        fclose(probe);
    }
    // Under Wine the path reaches the host's device.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        EXPECT_TRUE(available);
    }
    const uint32_t before = seedCounter;
    MtRandom first;
    MtRandom second;
    EXPECT_EQ(available ? before : before + 2, seedCounter);
    EXPECT_NE(first.Next(), second.Next());
}
