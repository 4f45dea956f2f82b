// The keyboard on the window: the blinket it acts on, whether the user brought it there (with
// /focus) and the window it came from. The window never takes the focus from a click, so the
// keyboard is on it only between /focus and Esc, or until the user turns to another window.
#pragma once

#include <windows.h>

// The shown blinkets in list order, as a screen reader counts them from 1: how many there are,
// the list index of the one at a place (from 0; -1 for none) and the place of a list index.
int ShownBlinketCount();
int ShownBlinketAt(int place);
int PlaceOfBlinket(int index);

// /focus: the window to the front with the keyboard on the first shown blinket. The window
// that had the focus is remembered, unless it is this window or one of its own.
void TakeKeyboardFocus(HWND window);
// Esc: the keyboard's turn on the window ends and the focus goes back where it came from.
void GiveBackKeyboardFocus(HWND window);
// WM_ACTIVATE: back from a dialog of its own the window takes the focus again while the
// keyboard's turn is on; the turn ends when another program's window takes over.
void NoteActivation(HWND window, bool active, HWND other);
// Moves the keyboard to the shown blinket `steps` places away, stopping at the ends.
void StepKeyboardFocus(HWND window, int steps);
// Moves the keyboard to the shown blinket at the place; a place past the end means the last.
void FocusPlace(HWND window, int place);
// WM_SETFOCUS and WM_KILLFOCUS: whether the window holds the keyboard focus.
void NoteWindowFocus(HWND window, bool focused);
// The window's end: no turn, no blinket, nothing to give back.
void ForgetKeyboardFocus();
// After a layout: the keyboard stays on a shown blinket, the nearest after the one it was on.
void KeepKeyboardOnShown(HWND window);

// Whether the keyboard acts on the window now: its turn is on and the window has the focus.
bool KeyboardOnWindow();
// The list index of the blinket the keyboard acts on, or -1 when it is not on the window.
int FocusedBlinket();
