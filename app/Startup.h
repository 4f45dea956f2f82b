// Start-up: one running copy, the settings and blinkets, the About dialog, and the shaped,
// always-on-top main window with its timer; then the message loop.
#pragma once

#include "model/Blinket.h"
#include "model/BlinketList.h"
#include "state/ShellState.h"

#include <windows.h>

#include <memory>

constexpr wchar_t kMainClassName[] = L"Ocellix";
constexpr UINT_PTR kMainTimerId = 98;
constexpr UINT kMainTimerPeriod = 2000;

// True when the main window is up and the message loop is to run; false when the process is to
// end at once (another copy runs, the default blinket is missing, or the window failed).
bool InitApplication(HINSTANCE instance, int showCommand);
// Runs until the quit message and returns its exit code.
int RunMessageLoop();

// Brings a running copy's window (found by its class) to the front, topmost; false when none
// runs.
bool BringRunningCopyToFront(const wchar_t* className);
// The density values for the screen's horizontal pixels per inch: the large set of pictures at
// exactly 192, and the window's enlargement for any dense screen.
void ApplyScreenDensity(int logPixelsX);
// The blinket of a first run: eyesbig.gif of the Blinkets folder in the directory (ending with
// a backslash), showing Options; null when that image cannot be opened or its path not stored.
std::unique_ptr<Blinket> MakeDefaultBlinket(HINSTANCE resources, const wchar_t* directory);
// Appends the default blinket of the program's own folder to the list; false when it is missing.
bool AppendDefaultBlinket(BlinketList<Blinket>& list = blinkets);
// Takes what start-up reads from the settings key into the shell state.
void ApplyStoredSettings();
void RegisterMainClass(HINSTANCE instance, const wchar_t* className);
// Lays the blinkets out and creates the shaped, topmost main window of the class, with its
// timer; false when the window cannot be created.
bool CreateMainWindow(HINSTANCE instance, int showCommand, const wchar_t* className);

// The About dialog, modal over the owner (none at start-up).
void ShowAboutDialog(HWND owner);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
