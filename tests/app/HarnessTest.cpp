#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Harness, StringResourcesLoad) {
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), 4004, text, 64), 0);
    EXPECT_STREQ(L"Show Options", text);
}
