#include "base/MtRandom.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(MtRandom, PublishedSequences) {
    MtRandom random;
    random.SeedFromValue(5489);
    EXPECT_EQ(3499211612u, random.Next());
    // mt19937ar.out: init_by_array({0x123, 0x234, 0x345, 0x456}), outputs 1 to 5 and 1000.
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    random.SeedFromArray(key, 4);
    for (uint32_t expected : {1067595299u, 955945823u, 477289528u, 4107218783u, 4228976476u}) {
        EXPECT_EQ(expected, random.Next());
    }
    for (int i = 6; i < 1000; ++i) {
        random.Next();
    }
    EXPECT_EQ(3460025646u, random.Next());
}

// A twin generator seeded alike shows the raw words that NextUpTo masks and rejects.
TEST(MtRandom, NextUpToMasksAndRejects) {
    const struct {
        uint32_t n, mask;
    } cases[] = {{15, 15}, {16, 31}, {0, 0}, {0xFFFFFFFFu, 0xFFFFFFFFu}};
    for (const auto& c : cases) {
        MtRandom random;
        MtRandom twin;
        random.SeedFromValue(7);
        twin.SeedFromValue(7);
        int rejected = 0;
        int counts[17] = {};
        for (int i = 0; i < 16000; ++i) {
            uint32_t expected;
            while ((expected = twin.Next() & c.mask) > c.n) {
                ++rejected;
            }
            ASSERT_EQ(expected, random.NextUpTo(c.n)) << c.n;
            ++counts[expected < 17 ? expected : 0];
        }
        EXPECT_EQ(c.n == 16, rejected > 0) << c.n;
        EXPECT_EQ(twin.Next(), random.Next()) << c.n;  // both consumed the same words
        for (uint32_t v = 0; c.n == 15 && v <= 15; ++v) {
            EXPECT_NEAR(1000, counts[v], 120) << v;
        }
    }
}

TEST(MtRandom, HashTicksFoldsBytesAndCounts) {
    seedCounter = 0;
    EXPECT_EQ(0u, MtRandom::HashTicks(123456789u, 123456789u));
    EXPECT_NE(0u, MtRandom::HashTicks(123456789u, 123456789u));
    EXPECT_EQ(2u, seedCounter);
    // Bytes 04 03 02 01, low first, folded by 257: ((4 * 257 + 3) * 257 + 2) * 257 + 1.
    EXPECT_EQ(2u + 68097034u, MtRandom::HashTicks(0x01020304u, 0));
    EXPECT_EQ(3u ^ 68097034u, MtRandom::HashTicks(0, 0x01020304u));
}

TEST(MtRandom, SeedsFromAFullEntropyFileElseFromTicks) {
    testsupport::TempDir dir;
    uint32_t words[624];
    for (int i = 0; i < 624; ++i) {
        words[i] = static_cast<uint32_t>(i) * 2654435761u + 12345u;
    }
    const std::string bytes(reinterpret_cast<const char*>(words), sizeof(words));
    MtRandom random;
    MtRandom expected;
    expected.SeedFromArray(words, 624);
    uint32_t before = seedCounter;
    random.Seed(dir.WriteFile(L"full", bytes).c_str());
    EXPECT_EQ(before, seedCounter);
    EXPECT_EQ(expected.Next(), random.Next());

    for (const std::wstring& path : {dir.WriteFile(L"short", bytes.substr(1)),
                                     dir.WriteFile(L"empty", ""), dir.path() + L"missing"}) {
        before = seedCounter;
        random.Seed(path.c_str());
        EXPECT_EQ(before + 1, seedCounter) << path.c_str();
    }
}

TEST(MtRandom, ConstructionPrefersDevUrandom) {
    FILE* probe = _wfopen(L"/dev/urandom", L"rb");
    if (probe) {
        fclose(probe);
    }
    // Under Wine the path reaches the host's device.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        EXPECT_NE(nullptr, probe);
    }
    const uint32_t before = seedCounter;
    MtRandom first;
    MtRandom second;
    EXPECT_EQ(probe ? before : before + 2, seedCounter);
    EXPECT_NE(first.Next(), second.Next());
}
