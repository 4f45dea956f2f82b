// Start-up: one running copy, the settings and blinkets, the About dialog, and the shaped,
// always-on-top main window with its timer; then the message loop.
#pragma once

#include <windows.h>

constexpr wchar_t kMainClassName[] = L"Ocellix";

// True when the main window is up and the message loop is to run; false when the process is to
// end at once (another copy runs, the default blinket is missing, or the window failed).
bool InitApplication(HINSTANCE instance, int showCommand);
// Runs until the quit message and returns its exit code.
int RunMessageLoop();

// Brings a running copy's window (found by its class) to the front, topmost; false when none
// runs.
bool BringRunningCopyToFront(const wchar_t* className);
// The density values for the screen's horizontal pixels per inch: the dialogs' large set of
// pictures at exactly 192, and the window's density until its first layout on its monitor.
void ApplyScreenDensity(int logPixelsX);
void RegisterMainClass(HINSTANCE instance, const wchar_t* className);
// Lays the blinkets out and creates the shaped, topmost main window of the class, with its
// timer; false when the window cannot be created.
bool CreateMainWindow(HINSTANCE instance, int showCommand, const wchar_t* className);
