// The Pocket PC shell services on desktop Windows: dialogs finished with a Done button, an empty
// menu bar, tap-and-hold recognition, and image loading through Windows Imaging Component.
#include "platform/PocketShell.h"

#include "platform/ComObjects.h"

#include <commctrl.h>
#include <objbase.h>
#include <wincodec.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

// ---------------------------------------------------------------------------------------------
// Dialogs

constexpr UINT_PTR kDoneSubclassId = 0x0D0E;

void FillWorkArea(HWND dialog) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SendDone(HWND dialog) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, kDoneNotification), 0);
}

// Esc reaches the dialog as IDCANCEL; Enter as IDOK with code 0 and no control behind it. There
// is no Cancel on this platform, so both finish the dialog.
bool IsDoneKey(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) == IDCANCEL) {
        return true;
    }
    return LOWORD(wParam) == IDOK && HIWORD(wParam) == 0 && !GetDlgItem(dialog, IDOK);
}

LRESULT CALLBACK DoneButtonProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR id, DWORD_PTR) {
    switch (message) {
    case WM_CLOSE: // the close box and Alt+F4 arrive here through SC_CLOSE
        SendDone(dialog);
        return 0;
    case WM_COMMAND:
        if (IsDoneKey(dialog, wParam)) {
            SendDone(dialog);
            return 0;
        }
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(dialog, DoneButtonProc, id); break;
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

// The Done button in the title bar of a Pocket PC dialog is, on the desktop, the close box.
void AddDoneButton(HWND dialog) {
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    if ((style & WS_CAPTION) == WS_CAPTION && !(style & WS_SYSMENU)) {
        SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_SYSMENU);
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    SetWindowSubclass(dialog, DoneButtonProc, kDoneSubclassId, 0);
}

// ---------------------------------------------------------------------------------------------
// Tap-and-hold

// Pocket PC shows its context menu about half a second into a hold. A fixed time rather than
// GetDoubleClickTime: a user who slows double clicks down should not wait longer for menus.
constexpr DWORD kHoldMilliseconds = 500;
constexpr DWORD kLongHoldMilliseconds = 1000;

enum class Gesture { Undecided, Tap, Hold };

// A pointer message that decides the gesture stays queued for the window, except a move that
// keeps within the drag rectangle.
Gesture JudgePointer(HWND window, const RECT& dragRect, const MSG& message) {
    if (message.message != WM_MOUSEMOVE) {
        return Gesture::Tap;
    }
    POINT point = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    if (message.hwnd && message.hwnd != window) {
        MapWindowPoints(message.hwnd, window, &point, 1);
    }
    if (!PtInRect(&dragRect, point)) {
        return Gesture::Tap;
    }
    MSG removed;
    PeekMessageW(&removed, message.hwnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
    return Gesture::Undecided;
}

// Everything but pointer input is handled as a modal loop would, so that timers and painting go
// on while the stylus rests.
Gesture DispatchOther(HWND window, const MSG& peeked) {
    MSG message;
    if (!PeekMessageW(&message, peeked.hwnd, peeked.message, peeked.message, PM_REMOVE)) {
        return Gesture::Undecided;
    }
    switch (message.message) {
    case WM_QUIT: PostQuitMessage(static_cast<int>(message.wParam)); return Gesture::Tap;
    case WM_KEYDOWN:
        if (message.wParam == VK_ESCAPE) {
            return Gesture::Tap;
        }
        break;
    case WM_CANCELMODE: DispatchMessageW(&message); return Gesture::Tap;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return IsWindow(window) && GetCapture() == window ? Gesture::Undecided : Gesture::Tap;
}

// The hold is decided only on an empty queue: a release already queued always wins.
Gesture WaitForGesture(HWND window, const RECT& dragRect, DWORD holdTime) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            const bool pointer =
                message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST;
            const Gesture gesture =
                pointer ? JudgePointer(window, dragRect, message) : DispatchOther(window, message);
            if (gesture != Gesture::Undecided) {
                return gesture;
            }
            // A queue that never empties (a paint that is never validated, say) must not keep
            // the stylus waiting for ever.
            if (GetTickCount() - start >= 2 * holdTime) {
                return Gesture::Hold;
            }
        }
        if (GetCapture() != window) {
            return Gesture::Tap;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= holdTime) {
            return Gesture::Hold;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, holdTime - elapsed, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

// ---------------------------------------------------------------------------------------------
// Images

constexpr COLORREF kKeyColour = RGB(128, 0, 128);
// Larger images are refused rather than risk an allocation that cannot succeed.
constexpr UINT kMaxImageSide = 16384;
constexpr UINT64 kMaxImagePixels = 32u * 1024 * 1024;

bool CreateFactory(ComObject<IWICImagingFactory>& factory) {
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.put())));
}

// A 32-bit bottom-up DIB section: GetObject reports its height positive on every platform.
HBITMAP CreateImageDib(UINT width, UINT height, BYTE** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!dib || !memory) {
        if (dib) {
            DeleteObject(dib);
        }
        return nullptr;
    }
    *bits = static_cast<BYTE*>(memory);
    return dib;
}

void FlipRows(BYTE* bits, UINT stride, UINT height) {
    for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(bits + top * stride, bits + (top + 1) * stride, bits + bottom * stride);
    }
}

bool AllAlphaZero(const BYTE* bits, UINT64 pixels) {
    for (UINT64 i = 0; i < pixels; ++i) {
        if (bits[i * 4 + 3] != 0) {
            return false;
        }
    }
    return true;
}

// Transparent pixels take the key colour; the alpha byte is cleared everywhere so that image
// lists take the bitmap as an opaque one to be masked by colour.
void KeyTransparentPixels(BYTE* bits, UINT64 pixels, bool opaque) {
    for (UINT64 i = 0; i < pixels; ++i) {
        BYTE* pixel = bits + i * 4;
        if (!opaque && pixel[3] < 128) {
            pixel[0] = GetBValue(kKeyColour);
            pixel[1] = GetGValue(kKeyColour);
            pixel[2] = GetRValue(kKeyColour);
        }
        pixel[3] = 0;
    }
}

HBITMAP DecodeFirstFrame(IWICImagingFactory* factory, IWICBitmapDecoder* decoder) {
    ComObject<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height))) {
        return nullptr;
    }
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
        UINT64{width} * height > kMaxImagePixels) {
        return nullptr;
    }
    ComObject<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    BYTE* bits = nullptr;
    HBITMAP dib = CreateImageDib(width, height, &bits);
    if (!dib) {
        return nullptr;
    }
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, bits))) {
        DeleteObject(dib);
        return nullptr;
    }
    FlipRows(bits, stride, height);
    // A 32-bit BMP usually leaves its fourth byte zero; that means opaque, not invisible.
    GUID container = {};
    const bool bmp = SUCCEEDED(decoder->GetContainerFormat(&container)) &&
                     IsEqualGUID(container, GUID_ContainerFormatBmp);
    const UINT64 pixels = UINT64{width} * height;
    KeyTransparentPixels(bits, pixels, bmp && AllAlphaZero(bits, pixels));
    return dib;
}

}  // namespace

BOOL SHInitDialog(SHINITDLGINFO* info) {
    if (!info || !(info->dwMask & SHIDIM_FLAGS) || !IsWindow(info->hDlg)) {
        return FALSE;
    }
    // Without an input panel, sizing above it and sizing to the full screen are the same.
    if (info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
        FillWorkArea(info->hDlg);
    }
    if (info->dwFlags & SHIDIF_DONEBUTTON) {
        AddDoneButton(info->hDlg);
    }
    return TRUE;
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info) {
        return FALSE;
    }
    info->hwndMB = nullptr;
    // Desktop dialogs have no menu bar to fill; only the empty one can be given.
    return (info->dwFlags & SHCMBF_EMPTYBAR) ? TRUE : FALSE;
}

DWORD SHRecognizeGesture(SHRGINFO* info) {
    if (!info || !(info->dwFlags & SHRG_RETURNCMD) || !IsWindow(info->hwndClient)) {
        return 0;
    }
    HWND window = info->hwndClient;
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);
    const RECT dragRect = {info->ptDown.x - dragX, info->ptDown.y - dragY,
                           info->ptDown.x + dragX + 1, info->ptDown.y + dragY + 1};
    const DWORD holdTime =
        (info->dwFlags & SHRG_LONGDELAY) ? kLongHoldMilliseconds : kHoldMilliseconds;

    const bool hadCapture = GetCapture() == window;
    if (!hadCapture) {
        SetCapture(window);
    }
    const Gesture gesture = WaitForGesture(window, dragRect, holdTime);
    if (!hadCapture && GetCapture() == window) {
        ReleaseCapture();
    }
    return gesture == Gesture::Hold ? GN_CONTEXTMENU : 0;
}

HBITMAP SHLoadImageFile(LPCWSTR fileName) {
    if (!fileName || !*fileName) {
        return nullptr;
    }
    ComScope com;
    ComObject<IWICImagingFactory> factory;
    if (!com.ok() || !CreateFactory(factory)) {
        return nullptr;
    }
    ComObject<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(fileName, nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put()))) {
        return nullptr;
    }
    return DecodeFirstFrame(factory.get(), decoder.get());
}

HBITMAP SHLoadImageResource(HINSTANCE module, UINT resourceId) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"GIF");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!data || size == 0) {
        return nullptr;
    }
    ComScope com;
    ComObject<IWICImagingFactory> factory;
    if (!com.ok() || !CreateFactory(factory)) {
        return nullptr;
    }
    ComObject<IWICStream> stream;
    ComObject<IWICBitmapDecoder> decoder;
    // WIC only reads through the stream; the resource stays read-only.
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put()))) {
        return nullptr;
    }
    return DecodeFirstFrame(factory.get(), decoder.get());
}
