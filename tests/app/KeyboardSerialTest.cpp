// Runs alone: it takes the foreground and the keyboard focus, which are the desktop's.
#include "app/BlinketTips.h"
#include "app/BlinketsAccessible.h"
#include "app/IdleAnimation.h"
#include "app/KeyboardFocus.h"
#include "app/Operations.h"
#include "app/Pupils.h"
#include "app/Render.h"
#include "app/ShellFixture.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

using testsupport::AddBlinket;
using testsupport::RectText;

namespace {

constexpr unsigned kPlainRgb = 0x00FF00;
constexpr wchar_t kProgram[] = L"C:\\Tools\\run.exe";
constexpr wchar_t kAddress[] = L"https://www.example.org/start";

// The blinkets that focus events named; the system's own about the window itself aside.
std::vector<LONG> focusEvents;

void CALLBACK NoteFocusEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                             DWORD) {
    if (window == mainWindow && object == OBJID_CLIENT && child != CHILDID_SELF) {
        focusEvents.push_back(child);
    }
}

// Four blinkets, the second without its picture: the shown ones are list indexes 0, 2 and 3, a
// screen reader's children 1, 2 and 3. A plain window of the test's own has the focus first.
class KeyboardTest : public shelltest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddBlinket(Image(L"plain.bmp", 30, 20, kPlainRgb), kActionProgram, kProgram);
        AddBlinket(dir.path() + L"missing.bmp", kActionWebPage, kAddress);
        AddFace()->actionCmd = kActionShowOptions;
        AddBlinket(Image(L"green.bmp", 20, 20, 0x008000), kActionWebPage, kAddress);
        windowCentreX = 100;
        WNDCLASSW plain = {};
        plain.lpfnWndProc = DefWindowProcW;
        plain.hInstance = appInstance;
        plain.lpszClassName = L"OcellixKeyboardTestOther";
        RegisterClassW(&plain);
        other = CreateWindowExW(0, plain.lpszClassName, L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                400, 100, 200, 100, nullptr, nullptr, appInstance, nullptr);
        ASSERT_NE(nullptr, other);
        ASSERT_NE(nullptr, shelltest::CreateTestMainWindow(L"OcellixKeyboardTest"));
        SetForegroundWindow(other);
        testsupport::PumpMessages();
        hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, NoteFocusEvent,
                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        focusEvents.clear();
    }
    void TearDown() override {
        UnhookWinEvent(hook);
        DestroyWindow(other);
        ShellTest::TearDown();
    }

    void Key(WPARAM key) {
        SendMessageW(mainWindow, WM_KEYDOWN, key, 1);
        testsupport::PumpMessages();
    }
    COLORREF WindowPixel(int x, int y) const {
        UpdateWindow(mainWindow);
        WindowDC dc(mainWindow);
        return GetPixel(dc.get(), x, y);
    }

    HWND other = nullptr;
    HWINEVENTHOOK hook = nullptr;
};

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

}  // namespace

TEST_F(KeyboardTest, KeysMoveOverTheShownBlinketsAndEscGivesTheFocusBack) {
    EXPECT_EQ(-1, FocusedBlinket());
    EXPECT_EQ(other, GetForegroundWindow());
    TakeKeyboardFocus(mainWindow);
    testsupport::PumpMessages();
    EXPECT_EQ(mainWindow, GetForegroundWindow());
    EXPECT_EQ(mainWindow, GetFocus());
    EXPECT_EQ(0, FocusedBlinket());
    EXPECT_EQ(0, MarkedBlinket());
    EXPECT_EQ(std::vector<LONG>{1}, focusEvents);

    // The mark inside the first blinket's edge, in the highlight colours; none on the others.
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), WindowPixel(0, 10));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), WindowPixel(1, 10));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), WindowPixel(2, 10));
    EXPECT_EQ(testsupport::ColourOf(kPlainRgb), WindowPixel(3, 10));
    EXPECT_EQ(RGB(0, 128, 0), WindowPixel(80, 10));

    const struct {
        WPARAM key;
        int focused;  // list index
        std::vector<LONG> events;
    } steps[] = {
        {VK_RIGHT, 2, {2}}, {VK_RIGHT, 3, {3}}, {VK_RIGHT, 3, {}}, {VK_HOME, 0, {1}},
        {VK_LEFT, 0, {}},   {VK_END, 3, {3}},   {VK_LEFT, 2, {2}}, {'A', 2, {}},
    };
    for (const auto& step : steps) {
        focusEvents.clear();
        Key(step.key);
        EXPECT_EQ(step.focused, FocusedBlinket()) << step.key;
        EXPECT_EQ(step.events, focusEvents) << step.key;
    }
    EXPECT_EQ(testsupport::ColourOf(kPlainRgb), WindowPixel(0, 10)) << "the old mark is gone";

    Key(VK_ESCAPE);
    EXPECT_EQ(other, GetForegroundWindow());
    EXPECT_EQ(-1, FocusedBlinket());
    EXPECT_EQ(-1, MarkedBlinket());
    // The keys are the window's again only after /focus.
    SetForegroundWindow(mainWindow);
    SetFocus(mainWindow);
    Key(VK_RIGHT);
    EXPECT_EQ(-1, FocusedBlinket());
    EXPECT_EQ(-1, MarkedBlinket());
}

TEST_F(KeyboardTest, ALayoutKeepsTheKeyboardOnAShownBlinket) {
    TakeKeyboardFocus(mainWindow);
    Key(VK_END);
    ASSERT_EQ(3, FocusedBlinket());
    blinkets.RemoveAt(3);
    RepositionWindow();
    EXPECT_EQ(2, FocusedBlinket());
    EXPECT_EQ(2, MarkedBlinket());
}

// What a screen reader reads of each blinket is read from another process end to end; here, the
// keyboard's blinket, the press and the window's end.
TEST_F(KeyboardTest, AScreenReaderSeesTheFocusAndItsPressIsPostedUntilTheWindowEnds) {
    TakeKeyboardFocus(mainWindow);
    Key(VK_RIGHT);
    IAccessible* object = nullptr;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(mainWindow, OBJID_CLIENT, kIidAccessible,
                                                        reinterpret_cast<void**>(&object)));
    VARIANT value;
    EXPECT_HRESULT_SUCCEEDED(object->get_accFocus(&value));
    EXPECT_EQ(2, value.lVal);
    for (long id = CHILDID_SELF; id <= 3; ++id) {
        EXPECT_HRESULT_SUCCEEDED(object->get_accState(Child(id), &value));
        EXPECT_EQ(id == 2, (value.lVal & STATE_SYSTEM_FOCUSED) != 0) << id;
    }
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);
    EXPECT_HRESULT_SUCCEEDED(object->accHitTest(origin.x + 85, origin.y + 5, &value));
    EXPECT_EQ(3, value.lVal);
    EXPECT_EQ(E_INVALIDARG, object->accDoDefaultAction(Child(4)));

    // Press runs nothing inside the call: it posts the blinket's list index to the window.
    testsupport::PumpMessages();
    EXPECT_HRESULT_SUCCEEDED(object->accDoDefaultAction(Child(3)));
    MSG posted = {};
    ASSERT_TRUE(
        PeekMessageW(&posted, mainWindow, kPressRequestMessage, kPressRequestMessage, PM_REMOVE));
    EXPECT_EQ(3u, posted.wParam);

    // Once the window has gone, every call fails cleanly.
    DestroyWindow(mainWindow);
    BSTR name = nullptr;
    long count = 0;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, object->get_accName(Child(1), &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, object->get_accChildCount(&count));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, object->accDoDefaultAction(Child(1)));
    object->Release();
}

TEST_F(KeyboardTest, EveryShownBlinketHasALabelThatNoneShowsWhileBusy) {
    HWND tips = BlinketTipsWindow();
    ASSERT_NE(nullptr, tips);
    auto tools = [&] {
        std::vector<std::string> found;
        const int count = static_cast<int>(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TTTOOLINFOW tool = {};
            tool.cbSize = sizeof(tool);
            SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool));
            found.push_back(std::to_string(tool.uId) + ":" + RectText(tool.rect));
        }
        return found;
    };
    EXPECT_EQ((std::vector<std::string>{"0:0,0,30,20", "2:35,0,75,30", "3:80,0,100,20"}), tools());
    auto label = [](UINT_PTR index) {
        NMTTDISPINFOW info = {};
        info.hdr.idFrom = index;
        info.hdr.code = TTN_GETDISPINFOW;
        OnTipNotify(&info.hdr);
        return std::wstring(info.lpszText ? info.lpszText : L"(none)");
    };
    EXPECT_EQ(std::wstring(L"run\r\n") + kProgram, label(0));
    EXPECT_EQ(L"Options", label(2));
    dialogActive = true;
    EXPECT_EQ(L"", label(0));
    dialogActive = false;
    HoldBlinketTips();
    EXPECT_EQ(L"", label(0));
    ReleaseBlinketTips();
    EXPECT_EQ(std::wstring(L"run\r\n") + kProgram, label(0));

    // After a layout the tools are where the blinkets now stand.
    blinkets.RemoveAt(0);
    RepositionWindow();
    EXPECT_EQ((std::vector<std::string>{"1:0,0,40,30", "2:45,0,65,20"}), tools());
}

TEST_F(KeyboardTest, IdleAnimationsWaitWhileWindowsShowsNone) {
    const MtRandom before = rng;
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, FALSE, 0));
    EXPECT_FALSE(AnimationsWanted());
    OnIdleCount();
    EXPECT_FALSE(IdleAnimationPlaying());
    EXPECT_TRUE(shelltest::AdvancedBy(before, 0));
    // Read at every count: the change counts at once.
    ASSERT_TRUE(
        SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, reinterpret_cast<void*>(TRUE), 0));
    EXPECT_TRUE(AnimationsWanted());
    OnIdleCount();
    EXPECT_TRUE(shelltest::AdvancedBy(before, 1)) << "the eyes drew their animation";
    StopIdleAnimation();
}
