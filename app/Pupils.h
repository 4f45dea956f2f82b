// Who moves the pupils: the pointer while it is near the window, otherwise the idle animation
// when the idle count is up; never both at once, and neither while nobody can see the window.
#pragma once

#include <windows.h>

// The main window's timer that watches for the pointer.
constexpr UINT_PTR kPointerTimerId = 100;
// How often the pointer is looked for at most while it moves away from the window, and how often
// the eyes may move while they follow it. Away and moving, the next look waits for as long as the
// pointer takes to come near at a brisk kPointerSpeed pixels per millisecond, from the near
// period up to the away period, which keeps the eyes' start within a quarter of a second of the
// pointer coming near at any speed, the system timer's coarseness included. Away and still, it is
// not looked for: the system tells of its next movement.
constexpr UINT kPointerAwayPeriod = 200;
constexpr UINT kPointerNearPeriod = 50;
constexpr int kPointerSpeed = 2;

// Watches for the pointer as followPointer says and while the window can be seen: starts, or
// stops with the eyes back at the centre. At the window's creation and after every reload.
void WatchPointer(HWND window);
// The watch timer's tick: reads the pointer and follows it. Away from the window and still, the
// watch rests until the pointer moves.
void OnPointerTick(HWND window);
// WM_INPUT: the mouse moved; a resting watch looks again.
void OnPointerInput(HWND window);
// The periodic tick's look while the watch rests: it catches movements that come as no mouse
// input (a touch, a pen, a program moving the pointer).
void GlanceAtPointer(HWND window);
// The eyes look towards a point of the screen when it calls them, the idle animation giving way;
// when it does not and they were following, they return to the centre. Changes the watch
// timer's pace to suit.
void FollowPointerAt(HWND window, POINT screenPoint);
// Stops following and watching; the eyes return to the centre.
void StopWatchingPointer(HWND window);
// Whether the eyes follow the pointer now.
bool FollowingPointer();
// Whether the pointer is watched now, by the timer or by waiting for the mouse to move.
bool WatchingPointer();
// Whether Windows' "Show animations in Windows" is on; read afresh every time, so that a change
// counts at once. On when it cannot be read.
bool AnimationsWanted();
// The idle count is up: an idle animation plays, unless the eyes follow the pointer, nobody can
// see them or the user asked Windows for no animations. The eyes still follow the pointer then:
// the user moves it.
void OnIdleCount();
// Whether the window can be seen has changed: while it cannot, the watch and any animation stop;
// once it can, the watch starts again.
void OnSightChanged(HWND window);
