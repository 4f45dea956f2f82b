// Who moves the pupils: the pointer while it is near the window, otherwise the idle animation
// when the idle count is up; never both at once.
#pragma once

#include <windows.h>

// The main window's timer that watches for the pointer.
constexpr UINT_PTR kPointerTimerId = 100;
// How often the pointer is looked for while it is away, and how often the eyes may move while
// they follow it.
constexpr UINT kPointerAwayPeriod = 240;
constexpr UINT kPointerNearPeriod = 50;

// Watches for the pointer as followPointer says: starts, or stops with the eyes back at the
// centre. At the window's creation and after every reload.
void WatchPointer(HWND window);
// The watch timer's tick: reads the pointer and follows it.
void OnPointerTick(HWND window);
// The eyes look towards a point of the screen when it calls them, the idle animation giving way;
// when it does not and they were following, they return to the centre. Changes the watch
// timer's pace to suit.
void FollowPointerAt(HWND window, POINT screenPoint);
// Stops following and watching; the eyes return to the centre.
void StopWatchingPointer(HWND window);
// Whether the eyes follow the pointer now.
bool FollowingPointer();
// Whether Windows' "Show animations in Windows" is on; read afresh every time, so that a change
// counts at once. On when it cannot be read.
bool AnimationsWanted();
// The idle count is up: an idle animation plays, unless the eyes follow the pointer or the user
// asked Windows for no animations. The eyes still follow the pointer then: the user moves it.
void OnIdleCount();
