// The process-wide state of the application shell: the objects and values that start-up, the
// main window, the dialogs and the locator share. Everything here is defined in one file, which
// fixes the order in which the objects are constructed and destroyed.
#pragma once

#include "base/MtRandom.h"
#include "base/Picture.h"
#include "controls/ImageButtonStrip.h"
#include "model/Blinket.h"
#include "model/BlinketList.h"
#include "model/ImageFileEntry.h"

#include <windows.h>
#include <commctrl.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern int menuBarHeight;     // 26 enlarged for the window's monitor: 52 at 192 dpi
extern int resIdOffset;       // 0, or 100 on a 192 dpi screen: selects the large image set
extern int uiScale;           // 1, or 2 on a 192 dpi screen
extern const int blinketGap;  // pixels between neighbouring blinkets
extern const int idleTickThreshold;
extern int idleTicks;
// x of the window's horizontal centre from its monitor's left edge; -1 until placed
extern int windowCentreX;
// The device name of the monitor the user put the window on ("Monitor"); empty: the primary.
extern wchar_t windowMonitor[CCHDEVICENAME];
extern UINT_PTR timerId;
extern Picture stripPicture;
extern Picture maskPicture;
// The strip with the pupils as they stand: what the window shows, before it is enlarged.
extern Picture shownPicture;
extern int stripWidth;
extern DWORD tapPoint;  // x in the low 16 bits, y in the high 16 bits, client pixels
extern bool tapPending;
extern bool dialogActive;
// The pixels per inch of the monitor the window was last laid out for, 96 at the least: the
// window shows the pictures enlarged dpi / 96 times.
extern int displayDpi;
// The eyes look towards the pointer while it is near the window ("FollowPointer").
extern bool followPointer;
extern BlinketList<Blinket> blinkets;
extern MtRandom rng;

// The image catalogue of one run of the Options dialog: the files, and one record per frame of
// every file in thumbnail order (element k is thumbnail k).
extern BlinketList<ImageFileEntry> imageFiles;
extern BlinketList<FrameRef> frameRefs;

// The image buttons of the Options dialog, one per button; they outlive the dialog.
extern ImageButtonStrip addButtonStrip;     // button 202
extern ImageButtonStrip editButtonStrip;    // button 206
extern ImageButtonStrip deleteButtonStrip;  // button 203
extern ImageButtonStrip upButtonStrip;      // button 204
extern ImageButtonStrip downButtonStrip;    // button 205
