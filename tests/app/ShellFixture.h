// The shell's process-wide state for tests: back to its start values, with blinkets made of
// real image files and a real main window.
#pragma once

#include "app/Render.h"
#include "app/Startup.h"
#include "model/Blinket.h"
#include "model/EyeAnimator.h"
#include "state/ShellState.h"
#include "support/RawRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace shelltest {

// Whether rng has taken exactly that many draws since the copy, judged by the values that follow.
inline testing::AssertionResult AdvancedBy(MtRandom before, int draws) {
    for (int i = 0; i < draws; ++i) {
        before.Next();
    }
    MtRandom now = rng;
    for (int i = 0; i < 4; ++i) {
        if (before.Next() != now.Next()) {
            return testing::AssertionFailure() << "not advanced by " << draws << " draws";
        }
    }
    return testing::AssertionSuccess();
}

inline void ResetShellState() {
    if (IsWindow(mainWindow)) {
        DestroyWindow(mainWindow);
    }
    testsupport::PumpMessages();
    mainWindow = nullptr;
    blinkets.Clear();
    ReleaseStrip();
    appInstance = GetModuleHandleW(nullptr);
    menuBarHeight = 26;
    resIdOffset = 0;
    uiScale = 1;
    windowCentreX = -1;
    windowMonitor[0] = L'\0';
    stripWidth = 0;
    idleTicks = 0;
    timerId = 0;
    tapPoint = 0;
    tapPending = false;
    dialogActive = false;
    displayDpi = 96;
    // The pointer lies wherever the display left it: a window test follows it only when it says.
    followPointer = false;
}

// The main window of a class of the test's own, laid out, shown without activation and shaped.
inline HWND CreateTestMainWindow(const wchar_t* className) {
    RegisterMainClass(appInstance, className);
    if (!CreateMainWindow(appInstance, SW_SHOWNOACTIVATE, className)) {
        return nullptr;
    }
    UpdateWindow(mainWindow);
    testsupport::PumpMessages();
    return mainWindow;
}

class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        ResetShellState();
        ASSERT_TRUE(sandbox.ok());
    }
    void TearDown() override { ResetShellState(); }

    // An image of one colour (0x00RRGGBB) in the test's folder.
    std::wstring Image(const wchar_t* name, int width, int height, unsigned rgb) const {
        return dir.WriteFile(name, testsupport::SolidBmp(width, height, rgb));
    }
    // A blinket of a white face 40 by 30 pixels with two eyes 12 by 22.
    Blinket* AddFace() {
        dir.WriteFile(L"face.bmp.eye", "4,4,16,26\r\n24,4,36,26\r\n");
        return testsupport::AddBlinket(Image(L"face.bmp", 40, 30, 0xFFFFFF));
    }

    testsupport::RegistrySandbox sandbox;
    testsupport::TempDir dir;
};

}  // namespace shelltest
