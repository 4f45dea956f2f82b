#include "tests/locator/LocatorFixture.h"

namespace {

using namespace locatortest;

// One handle lost per opening would show as 100. The slack is for the windows of other test
// processes: Wine keeps one USER handle table for all processes of its server.
TEST_F(LocatorTest, OpeningAHundredTimesLeaksNoHandle) {
    constexpr int kSlack = 50;
    auto openOnce = [&] { Open(L"\\Windows\\foo.exe", [](HWND) {}); };
    openOnce();
    const int gdi = testsupport::FreeGdiCapacity();
    const int user = testsupport::FreeUserCapacity();
    for (int i = 0; i < 100; ++i) {
        openOnce();
    }
    EXPECT_GE(testsupport::FreeGdiCapacity(), gdi - kSlack);
    EXPECT_GE(testsupport::FreeUserCapacity(), user - kSlack);
}

}  // namespace
