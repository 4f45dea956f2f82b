// The process-wide state of the application shell.
#pragma once

#include "app/MtRandom.h"
#include "app/Picture.h"
#include "model/Blinket.h"
#include "model/BlinketList.h"

#include <windows.h>
#include <commctrl.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern int menuBarHeight;     // 26, or 52 on a 192 dpi screen
extern int resIdOffset;       // 0, or 100 on a 192 dpi screen: selects the large image set
extern int uiScale;           // 1, or 2 on a 192 dpi screen
extern const int blinketGap;  // pixels between neighbouring blinkets
extern const int idleTickThreshold;
extern int idleTicks;
extern int windowCentreX;  // screen x of the window's horizontal centre; -1 until placed
extern UINT_PTR timerId;
extern HIMAGELIST stripImageList;
extern Picture stripPicture;
extern Picture maskPicture;
extern int stripWidth;
extern DWORD tapPoint;  // x in the low 16 bits, y in the high 16 bits, client pixels
extern bool tapPending;
extern bool dialogActive;
extern BlinketList<Blinket> blinkets;
extern MtRandom rng;

// The key colour: transparent in every image of the program.
constexpr COLORREF kKeyColour = RGB(128, 0, 128);
