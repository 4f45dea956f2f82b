// The Pocket PC shell services that desktop Windows lacks, with the constants and structures
// of the Pocket PC headers that Ocellix uses. Structure sizes are this target's own.
#pragma once

#include <windows.h>

// SHInitDialog
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};

// The notification code of the WM_COMMAND IDOK that finishing a dialog with a Done button
// sends: neither 0 (a button click) nor 1 (a combo box selection change).
constexpr WORD kDoneNotification = 0x0D0E;

// With SHIDIF_SIZEDLGFULLSCREEN the dialog fills the work area of its monitor. With
// SHIDIF_DONEBUTTON the caption's close box, Esc and Enter finish the dialog, each as
// WM_COMMAND(IDOK, kDoneNotification) to its procedure. SHIDIF_SIPDOWN does nothing here.
BOOL SHInitDialog(SHINITDLGINFO* info);

// SHCreateMenuBar
#define SHCMBF_EMPTYBAR 0x0001

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};

// An empty menu bar (SHCMBF_EMPTYBAR): succeeds and shows nothing; hwndMB is null. Any other
// menu bar fails.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// SHRecognizeGesture
#define SHRG_RETURNCMD 0x00000001
#define SHRG_NOTIFYPARENT 0x00000002
#define SHRG_LONGDELAY 0x00000008
#define GN_CONTEXTMENU 1000

struct SHRGINFO {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;
    DWORD dwFlags;
};

// Tap-and-hold for a left-button press that has just arrived: GN_CONTEXTMENU when the button
// stays down for the hold time (500 ms, 1000 ms with SHRG_LONGDELAY) without the pointer
// leaving the drag rectangle, 0 as soon as it is released or moves away, or the wait is
// cancelled (Esc, WM_CANCELMODE, lost capture, WM_QUIT). The button-up message stays queued for
// the window; other messages are dispatched meanwhile. Only SHRG_RETURNCMD is offered: without
// it the call returns 0 at once.
DWORD SHRecognizeGesture(SHRGINFO* info);

// Sent as the wParam of WM_SETTINGCHANGE when the screen is rotated or resized.
#define SETTINGCHANGE_RESET 0x3002

// Decode a GIF, PNG or BMP file, or a resource of type "GIF" holding GIF or BMP data, into a
// 32-bit bottom-up DIB section (BI_RGB), first frame only. Pixels with alpha below half become
// the key colour RGB(128, 0, 128); every alpha byte is 0, so image lists mask by colour. Null
// when the data does not decode. COM is initialised for the call; the caller owns the bitmap.
HBITMAP SHLoadImageFile(LPCWSTR fileName);
HBITMAP SHLoadImageResource(HINSTANCE module, UINT resourceId);
