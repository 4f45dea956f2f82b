// Runs alone: the window that waits for the gesture is the foreground window, and a window of
// another process taking the foreground ends the wait (Wine cancels the mode of the window that
// loses the focus), so a hold would end as a tap.
#include "platform/PocketShell.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::PumpMessages;

namespace {

constexpr POINT kDown = {50, 60};
constexpr UINT_PTR kTimer = 7;

// What the window saw while the gesture was being decided.
struct WindowLog {
    int timers = 0;
    int paints = 0;
    bool validatePaint = true;
    void (*onTimer)(HWND window) = nullptr;
};
WindowLog windowLog;
HWND otherWindow = nullptr;

LRESULT CALLBACK GestureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        KillTimer(window, wParam);
        ++windowLog.timers;
        if (windowLog.onTimer) {
            windowLog.onTimer(window);
        }
        return 0;
    case WM_PAINT: {
        ++windowLog.paints;
        if (!windowLog.validatePaint) {
            return 0;
        }
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LPARAM Packed(POINT point) {
    return MAKELPARAM(point.x, point.y);
}

class Gesture : public testing::Test {
protected:
    void SetUp() override {
        windowLog = WindowLog();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = GestureWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"OcellixGestureTest";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"OcellixGestureTest", L"", WS_POPUP | WS_VISIBLE, 100, 100,
                                 200, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
        // The pointer rests where the stylus went down; whatever it reports is inside the drag
        // rectangle.
        SetCursorPos(100 + kDown.x, 100 + kDown.y);
        PumpMessages();
        windowLog.paints = 0;
    }
    void TearDown() override {
        DestroyWindow(window);
        PumpMessages();
    }

    DWORD Recognize(DWORD flags = SHRG_RETURNCMD) {
        SHRGINFO info = {sizeof(info), window, kDown, flags};
        return SHRecognizeGesture(&info);
    }

    // The first queued message of the kind for the window, taken out of the queue.
    bool TakeQueued(UINT kind, MSG* message) {
        return PeekMessageW(message, window, kind, kind, PM_REMOVE | PM_NOYIELD) != 0;
    }

    HWND window = nullptr;
};

TEST_F(Gesture, ReleaseBeforeTheHoldTimeIsATapAndTheButtonUpStaysForTheWindow) {
    PostMessageW(window, WM_LBUTTONUP, 0, Packed({52, 61}));
    EXPECT_EQ(0u, Recognize());
    MSG up;
    ASSERT_TRUE(TakeQueued(WM_LBUTTONUP, &up));
    EXPECT_EQ(Packed({52, 61}), up.lParam);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(Gesture, ButtonKeptDownIsAHoldAndTimersAndPaintingGoOn) {
    SetTimer(window, kTimer, 10, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(static_cast<DWORD>(GN_CONTEXTMENU), Recognize());
    EXPECT_EQ(1, windowLog.timers);
    EXPECT_EQ(1, windowLog.paints);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(Gesture, AQueueThatNeverEmptiesDoesNotKeepTheStylusWaiting) {
    windowLog.validatePaint = false;
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(static_cast<DWORD>(GN_CONTEXTMENU), Recognize());
    EXPECT_GT(windowLog.paints, 1);
    ValidateRect(window, nullptr);
}

TEST_F(Gesture, ReleaseArrivingDuringTheWaitIsATap) {
    windowLog.onTimer = [](HWND w) { PostMessageW(w, WM_LBUTTONUP, 0, Packed(kDown)); };
    SetTimer(window, kTimer, 50, nullptr);
    EXPECT_EQ(0u, Recognize());
    EXPECT_EQ(1, windowLog.timers);
    MSG up;
    EXPECT_TRUE(TakeQueued(WM_LBUTTONUP, &up));
}

TEST_F(Gesture, PointerLeavingTheDragRectangleIsNoHold) {
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);
    const struct {
        POINT to;
        DWORD expected;
    } moves[] = {
        {{kDown.x + dragX + 1, kDown.y}, 0},
        {{kDown.x, kDown.y - dragY - 1}, 0},
        {{kDown.x - dragX - 1, kDown.y + dragY + 1}, 0},
        {{kDown.x + 1, kDown.y + 1}, GN_CONTEXTMENU},
        {{kDown.x - dragX, kDown.y + dragY}, GN_CONTEXTMENU},
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(testing::Message() << "to " << move.to.x << "," << move.to.y);
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, Packed(move.to));
        EXPECT_EQ(move.expected, Recognize());
        // A move that decides the gesture is left for the window; one that does not is used up.
        MSG queued;
        const bool left = TakeQueued(WM_MOUSEMOVE, &queued) && queued.lParam == Packed(move.to);
        EXPECT_EQ(move.expected == 0, left);
        PumpMessages();
    }
}

TEST_F(Gesture, CancelsAreNoHold) {
    const struct {
        const char* what;
        void (*before)(HWND window);
        void (*onTimer)(HWND window);
    } cancels[] = {
        {"WM_CANCELMODE", [](HWND w) { PostMessageW(w, WM_CANCELMODE, 0, 0); }, nullptr},
        {"Esc", [](HWND w) { PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 1); }, nullptr},
        {"capture released", nullptr, [](HWND) { ReleaseCapture(); }},
        {"capture taken", nullptr, [](HWND) { SetCapture(otherWindow); }},
        {"window destroyed", nullptr, [](HWND w) { DestroyWindow(w); }},
    };
    otherWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    for (const auto& cancel : cancels) {
        SCOPED_TRACE(cancel.what);
        windowLog.onTimer = cancel.onTimer;
        if (cancel.before) {
            cancel.before(window);
        } else {
            SetTimer(window, kTimer, 10, nullptr);
        }
        EXPECT_EQ(0u, Recognize());
        EXPECT_NE(window, GetCapture());
        ReleaseCapture();
        PumpMessages();
        if (!IsWindow(window)) {
            break;
        }
    }
    DestroyWindow(otherWindow);
}

TEST_F(Gesture, QuitDuringTheWaitIsNoHoldAndStaysQueued) {
    PostQuitMessage(3);
    EXPECT_EQ(0u, Recognize());
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, quit.wParam);
}

TEST_F(Gesture, OnlyReturnedCommandsForLiveWindowsAreRecognised) {
    EXPECT_EQ(0u, Recognize(SHRG_NOTIFYPARENT));
    EXPECT_EQ(0u, SHRecognizeGesture(nullptr));
    SHRGINFO noWindow = {sizeof(noWindow), nullptr, kDown, SHRG_RETURNCMD};
    EXPECT_EQ(0u, SHRecognizeGesture(&noWindow));
    EXPECT_EQ(nullptr, GetCapture());
}

}  // namespace
