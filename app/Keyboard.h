// The keyboard's messages: moving between the blinkets, running one, the menu, and giving the
// focus back; and the window's activation, which a click never brings.
#pragma once

#include <windows.h>

// WM_KEYDOWN while the keyboard's turn is on: Left, Right, Home and End move, Enter and Space
// run the blinket as a tap does, Esc gives the focus back. False for any other key, or when the
// keyboard is not on the window: the default handling then has it (Shift+F10 and the menu key
// become WM_CONTEXTMENU there).
bool OnKeyDown(HWND window, WPARAM key, LPARAM flags);
// WM_ACTIVATE: coming back from its own dialog the window takes the focus again when the
// keyboard's turn is on; another program taking over ends the turn.
void OnActivate(HWND window, WPARAM state, LPARAM other);
void OnSetFocus(HWND window);
void OnKillFocus(HWND window);
