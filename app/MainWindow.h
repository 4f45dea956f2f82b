// The main window's procedure: it dispatches each message to the routine that handles it.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
