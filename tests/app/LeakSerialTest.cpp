#include "app/Operations.h"
#include "app/Timers.h"
#include "app/ShellFixture.h"

#include <gtest/gtest.h>

using shelltest::ShellTest;
using testsupport::AddBlinket;

// A handle lost per round would show as a thousand; the slack is for caches of the platform.
TEST_F(ShellTest, AThousandLayoutsPaintsAndIdleStepsLeakNoHandle) {
    AddBlinket(Image(L"plain.bmp", 16, 12, 0x00FF00));
    AddBlinket(Image(L"face.bmp", 24, 12, 0xFFFFFF));
    dir.WriteFile(L"face.bmp.eye", "2,2,10,10\r\n14,2,22,10\r\n");
    ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixLeakTest"));
    const auto round = [] {
        RepositionWindow();
        RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        IdleStep();
    };
    round();
    const int gdi = testsupport::FreeGdiCapacity();
    const int user = testsupport::FreeUserCapacity();
    for (int i = 0; i < 1000; ++i) {
        round();
    }
    EXPECT_GE(testsupport::FreeGdiCapacity(), gdi - 20);
    EXPECT_GE(testsupport::FreeUserCapacity(), user - 20);
    EXPECT_TRUE(blinkets.At(1)->eyes);
}
