#include "app/BlinketTips.h"

#include "app/Render.h"
#include "model/BlinketName.h"
#include "state/ShellState.h"

#include <strsafe.h>

namespace {

HWND tips = nullptr;
int holds = 0;
// What a label points to until the tooltip has copied it.
wchar_t label[kTipChars + 1] = {};

TTTOOLINFOW ToolOf(HWND window, UINT_PTR id) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window;
    tool.uId = id;
    return tool;
}

}  // namespace

void CreateBlinketTips() {
    DestroyBlinketTips();
    // Owned by no window: Wine would not let the window be made topmost again while it owns a
    // topmost window. Always: the window shows labels without ever being the active one.
    tips = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, appInstance, nullptr);
    if (tips) {
        // A width makes the label break at its line ends.
        SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    }
}

void DestroyBlinketTips() {
    if (tips) {
        DestroyWindow(tips);
        tips = nullptr;
    }
}

void RaiseBlinketTip() {
    if (tips && IsWindowVisible(tips)) {
        SetWindowPos(tips, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void RefreshBlinketTips(HWND window) {
    if (!tips || !IsWindow(tips)) {
        return;
    }
    TTTOOLINFOW tool = ToolOf(window, 0);
    while (SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) > 0 &&
           SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) {
        SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (int index = 0; index < blinkets.Count(); ++index) {
        const Blinket* blinket = blinkets.At(index);
        if (!blinket || !IsPlaced(*blinket)) {
            continue;
        }
        tool = ToolOf(window, static_cast<UINT_PTR>(index));
        tool.uFlags = TTF_SUBCLASS;
        tool.rect = WindowRectOf(*blinket);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HoldBlinketTips() {
    if (++holds == 1 && tips) {
        SendMessageW(tips, TTM_POP, 0, 0);
        SendMessageW(tips, TTM_ACTIVATE, FALSE, 0);
    }
}

void ReleaseBlinketTips() {
    if (holds > 0 && --holds == 0 && tips) {
        SendMessageW(tips, TTM_ACTIVATE, TRUE, 0);
    }
}

HWND BlinketTipsWindow() {
    return tips && IsWindow(tips) ? tips : nullptr;
}

void OnTipNotify(NMHDR* header) {
    if (header->code != TTN_GETDISPINFOW) {
        return;
    }
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    label[0] = L'\0';
    const Blinket* blinket = blinkets.At(static_cast<int>(info->hdr.idFrom));
    // An empty text shows no tip. A press holds the capture while the gesture is judged.
    const bool busy = holds > 0 || dialogActive || (mainWindow && GetCapture() == mainWindow);
    if (blinket && !busy) {
        StringCchCopyW(label, ARRAYSIZE(label),
                       BlinketLabel(*blinket, kTipLineChars, kTipChars).c_str());
    }
    info->lpszText = label;
}
