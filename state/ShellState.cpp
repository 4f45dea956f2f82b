#include "state/ShellState.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
int menuBarHeight = 26;
int resIdOffset = 0;
int uiScale = 1;
const int blinketGap = 5;
const int idleTickThreshold = 10;
int idleTicks = 0;
int windowCentreX = -1;
wchar_t windowMonitor[CCHDEVICENAME] = {};
UINT_PTR timerId = 0;
int stripWidth = 0;
DWORD tapPoint = 0;
bool tapPending = false;
bool dialogActive = false;
int displayDpi = 96;
bool followPointer = true;

// The process-wide objects are constructed in this order, before the entry point, and
// destroyed in reverse; keeping them in one file is what fixes the order.
Picture stripPicture;
Picture maskPicture;
Picture shownPicture;
BlinketList<Blinket> blinkets;
MtRandom rng;
BlinketList<ImageFileEntry> imageFiles;
BlinketList<FrameRef> frameRefs;
ImageButtonStrip addButtonStrip;
ImageButtonStrip editButtonStrip;
ImageButtonStrip deleteButtonStrip;
ImageButtonStrip upButtonStrip;
ImageButtonStrip downButtonStrip;
